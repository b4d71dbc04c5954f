#include "console/forms/extras_page.h"

#include "config/params/extras_params.h"
#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace getkelo {

ExtrasPage::ExtrasPage(QWidget* parent) : ConsolePageWidget(ConsolePage::Extras, "Extras", parent) {
    markComponent(this, "tbsTesra4");
    auto* row = new QHBoxLayout(this);
    auto* functions = pageGroup(this, "gpbFunctions", "Geräte Funktionen");
    const char* captions[6] = {
        "Regler",   "Totalisator", "Negative Fluss Detektion", "Negative Fluss Messung",
        "Profibus", "Druckregler"};
    for (int b = 0; b < 6; ++b)
        functionBoxes[b] = addCheck(functions, kFunctionBoxNames[b], captions[b]);
    btnFSave = addButton(functions, "btnFSave", "Übernehmen");
    closeGroup(functions);
    row->addWidget(functions);

    auto* right = new QVBoxLayout;
    auto* names = pageGroup(this, "gpbLongNames", "Lange Namen");
    txtLongGas = addField(names, "lblLongGas", "Langer Gas Name", 260);
    txtLongGas->setMaxLength(50);
    txtTagName = addField(names, "lblMessstellenbezeichnung", "Messstellenbezeichnung", 260);
    txtTagName->setMaxLength(50);
    btnSaveLongNames = addButton(names, "btnSaveLongNames", "Übernehmen");
    closeGroup(names);
    right->addWidget(names);
    auto* total = pageGroup(this, "gpbTotalizer2", "Totalisator");
    txtTotalizer2 = addField(total, "lblTotalizer2", "2. Totalisator", 260);
    txtTotalizer2->setReadOnly(true);
    closeGroup(total);
    right->addWidget(total);
    right->addStretch();
    row->addLayout(right);
    row->addStretch();

    connect(btnFSave, &QPushButton::clicked, this, [this] {
        if (!logic_) return;
        btnFSave->setEnabled(false);
        std::array<bool, kFunctionBoxes> ticked{};
        for (int b = 0; b < kFunctionBoxes; ++b)
            ticked[b] = functionBoxes[b]->isChecked();
        logic_->btnFSaveClick(ticked);
        btnFSave->setEnabled(true);
        refresh();
    });
    connect(btnSaveLongNames, &QPushButton::clicked, this, [this] {
        if (!logic_) return;
        btnSaveLongNames->setEnabled(false);
        logic_->btnSaveLongNamesClick(txtLongGas->text().toStdString(),
                                      txtTagName->text().toStdString());
        btnSaveLongNames->setEnabled(true);
        refresh();
    });
}

void ExtrasPage::showEvent(QShowEvent* event) {
    ConsolePageWidget::showEvent(event);
    if (!logic_) return;
    logic_->tbsTesra4Show();
    refresh();
}

void ExtrasPage::refresh() {
    if (!logic_) return;
    const ExtrasState& s = logic_->state();
    for (int b = 0; b < kFunctionBoxes; ++b)
        functionBoxes[b]->setChecked(s.functions[b]);
    functionBoxes[4]->setVisible(s.profibusBoxVisible);
    functionBoxes[5]->setVisible(s.pressureBoxVisible);
    txtLongGas->setText(QString::fromStdString(s.longGasName));
    txtTagName->setText(QString::fromStdString(s.tagName));
    txtTotalizer2->setText(QString::fromStdString(s.secondTotalizer));
}

} // namespace getkelo
