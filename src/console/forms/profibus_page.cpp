#include "console/forms/profibus_page.h"

#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace getkelo {

ProfibusAccessGroup::ProfibusAccessGroup(QWidget* parent,
                                         std::function<bool(HexField, const std::string&)> check)
    : QGroupBox("Azyklische Kommunikation", parent), check_(std::move(check)) {
    markComponent(this, "gpbAzCom");
    auto* g = new QGridLayout(this);
    chkIndexedAccess = new QCheckBox("Indizierter Zugriff", this);
    markComponent(chkIndexedAccess, "chkIndexedAccess");
    g->addWidget(chkIndexedAccess, 0, 0, 1, 4);
    // Each label names its row ("Adresse Slot", "Daten Index").
    const char* keys[kHexFields] = {"lblAddressSlot", "lblAddressIndex", "lblDataSlot",
                                    "lblDataIndex"};
    const char* captions[kHexFields] = {"Adresse Slot", "Adresse Index", "Daten Slot",
                                        "Daten Index"};
    for (int i = 0; i < kHexFields; ++i) {
        const int r = 1 + i / 2, c = i % 2;
        auto* l = new QLabel(captions[i], this);
        markComponent(l, keys[i]);
        g->addWidget(l, r, 2 * c);
        auto field = static_cast<HexField>(i);
        auto* e = new QLineEdit(this);
        e->setFixedWidth(50);
        e->setMaxLength(4);
        hex[i] = e;
        g->addWidget(e, r, 2 * c + 1);
        connect(e, &QLineEdit::textEdited, this, [this, e, field](const QString& t) {
            if (check_ && !check_(field, t.toStdString())) {
                e->setText("0");
                e->selectAll();
            }
        });
    }
    g->setColumnStretch(4, 1);
}

void ProfibusAccessGroup::show(const ProfibusState& s) {
    setVisible(s.acyclicVisible);
    chkIndexedAccess->setChecked(s.indexedAccess);
    for (int i = 0; i < kHexFields; ++i)
        hex[i]->setText(QString::fromStdString(s.hex[i]));
}

void ProfibusAccessGroup::take(ProfibusState& s) const {
    s.indexedAccess = chkIndexedAccess->isChecked();
    for (int i = 0; i < kHexFields; ++i)
        s.hex[i] = hex[i]->text().toStdString();
}

ProfibusPage::ProfibusPage(QWidget* parent)
    : ConsolePageWidget(ConsolePage::Profibus, "Profibus", parent) {
    markComponent(this, "tbsProfibus");
    auto* column = new QVBoxLayout;
    auto* group = pageGroup(this, "gpbProfibus", "Profibus");
    lblNotActive = addNote(group, "lblProfibusNotActive", "Profibus nicht aktiv!", true);
    txtAddress = addField(group, "lblProfibusAdr", "Adresse", 60);
    chkChangeDisable = addCheck(group, "chkChangeDisable", "Adressänderung sperren");
    closeGroup(group);
    column->addWidget(group);
    acyclic = new ProfibusAccessGroup(this, [this](HexField f, const std::string& t) {
        return !logic_ || logic_->hexFieldChange(f, t);
    });
    column->addWidget(acyclic);
    btnProfibusSave = new QPushButton("Übernehmen", this);
    markComponent(btnProfibusSave, "btnProfibusSave");
    column->addWidget(btnProfibusSave, 0, Qt::AlignRight);
    column->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addLayout(column);
    row->addStretch();

    connect(acyclic->chkIndexedAccess, &QCheckBox::clicked, this, [this](bool ticked) {
        if (!logic_) return;
        logic_->chkIndexedAccessClick(ticked);
        acyclic->show(logic_->state());
    });
    connect(btnProfibusSave, &QPushButton::clicked, this, [this] {
        if (!logic_) return;
        btnProfibusSave->setEnabled(false);
        ProfibusState& s = logic_->state();
        s.address = txtAddress->text().toStdString();
        s.addressLocked = chkChangeDisable->isChecked();
        acyclic->take(s);
        logic_->btnProfibusSaveClick();
        btnProfibusSave->setEnabled(true);
        refresh();
    });
}

void ProfibusPage::showEvent(QShowEvent* event) {
    ConsolePageWidget::showEvent(event);
    if (!logic_) return;
    logic_->tbsProfibusShow();
    refresh();
}

void ProfibusPage::refresh() {
    if (!logic_) return;
    const ProfibusState& s = logic_->state();
    lblNotActive->setVisible(s.notActiveLabel);
    txtAddress->setText(QString::fromStdString(s.address));
    chkChangeDisable->setChecked(s.addressLocked);
    acyclic->show(s);
}

} // namespace getkelo
