#include "console/forms/filter_page.h"

#include "config/params/filter_params.h"
#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QHBoxLayout>

namespace getkelo {

FilterPage::FilterPage(QWidget* parent) : ConsolePageWidget(ConsolePage::Filter, "Filter", parent) {
    markComponent(this, "tbsFilterT4");
    auto* row = new QHBoxLayout(this);
    auto* group = pageGroup(this, "gbxFilter", "Filter");
    const char* keys[8] = {"lblFilterType",        "lblFilterFactor",       "lblTickFilter",
                           "lblMeasureFilter",     "lblFilterSamplesFirst", "lblFilterBand",
                           "lblFilterSamplesNext", "lblFilterChange"};
    for (int i = 0; i < kFilterFields; ++i)
        fields[i] = addField(group, keys[i], kFilterFieldTable[i].caption, 100);
    btnSaveFilter = addButton(group, "btnSaveFilter", "Übernehmen");
    closeGroup(group);
    row->addWidget(group);
    row->addStretch();
    connect(btnSaveFilter, &QPushButton::clicked, this, [this] {
        if (!logic_) return;
        btnSaveFilter->setEnabled(false);
        FilterValues v;
        for (int i = 0; i < kFilterFields; ++i)
            v[i] = fields[i]->text().toStdString();
        logic_->btnSaveFilterClick(v);
        btnSaveFilter->setEnabled(true);
        refresh();
    });
}

void FilterPage::showEvent(QShowEvent* event) {
    ConsolePageWidget::showEvent(event);
    if (!logic_) return;
    logic_->tbsFilterT4Show();
    refresh();
}

void FilterPage::refresh() {
    if (!logic_) return;
    for (int i = 0; i < kFilterFields; ++i)
        fields[i]->setText(QString::fromStdString(logic_->values()[i]));
}

} // namespace getkelo
