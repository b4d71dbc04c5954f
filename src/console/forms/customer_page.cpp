#include "console/forms/customer_page.h"

#include "config/params/customer_params.h"
#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"
#include "console/forms/profibus_page.h"
#include "console/text_source.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace getkelo {

CustomerPage::CustomerPage(QWidget* parent)
    : ConsolePageWidget(ConsolePage::CustomerSpecific, "Kestrom Spezial", parent) {
    markComponent(this, "tbsKestrom");
    auto* left = new QVBoxLayout;
    auto* names = pageGroup(this, "kes_gbxNames", "Lange Namen");
    kes_txtLongGas = addField(names, "kes_lblLongGas", "Langer Gas Name", 240);
    kes_txtLongGas->setMaxLength(50);
    kes_txtTagName = addField(names, "kes_lblTagName", "Messstellenbezeichnung", 240);
    kes_txtTagName->setMaxLength(50);
    closeGroup(names);
    left->addWidget(names);
    auto* profibus = pageGroup(this, "kes_gbxProfibus", "Profibus");
    kes_txtProfibusAdr = addField(profibus, "kes_lblProfibusAdr", "Adresse", 60);
    closeGroup(profibus);
    left->addWidget(profibus);
    kes_acyclic = new ProfibusAccessGroup(this, [this](HexField f, const std::string& t) {
        return !logic_ || logic_->kes_HexFieldChange(f, t);
    });
    left->addWidget(kes_acyclic);
    left->addStretch();

    auto* right = new QVBoxLayout;
    auto* device = pageGroup(this, "kes_gbxDevice", "Gerät");
    kes_chkPowerUp = addCheck(device, "kes_chkPowerUp", "Power-Up mit gespeichertem Sollwert");
    auto* dg = static_cast<QGridLayout*>(device->layout());
    auto* gasLabel = new QLabel("Gas", device);
    markComponent(gasLabel, "kes_lblGas");
    kes_cboGas = new QComboBox(device);
    kes_cboGas->setEditable(true); // the device may hold a gas the list does not offer
    for (const char* g : kCustomerGases)
        kes_cboGas->addItem(g);
    const int gasRow = dg->rowCount();
    dg->addWidget(gasLabel, gasRow, 0);
    dg->addWidget(kes_cboGas, gasRow, 1);
    kes_txtDynamic = addField(device, "kes_lblDynamic", "Dynamik", 60);
    kes_rdbSingle = new QRadioButton("Nur aktiver Slot", device);
    markComponent(kes_rdbSingle, "kes_rdbSingle");
    kes_rdbAll = new QRadioButton("Alle Slots", device);
    markComponent(kes_rdbAll, "kes_rdbAll");
    kes_rdbSingle->setChecked(true);
    const int optionRow = dg->rowCount();
    dg->addWidget(kes_rdbSingle, optionRow, 0);
    dg->addWidget(kes_rdbAll, optionRow, 1);
    kes_btnWrite = addButton(device, "kes_btnWrite", "Schreiben");
    closeGroup(device);
    right->addWidget(device);
    right->addStretch();

    auto* row = new QHBoxLayout(this);
    row->addLayout(left);
    row->addLayout(right);
    row->addStretch();

    connect(kes_btnWrite, &QPushButton::clicked, this, [this] {
        if (!logic_) return;
        kes_btnWrite->setEnabled(false);
        CustomerState& s = logic_->state();
        s.longGasName = kes_txtLongGas->text().toStdString();
        s.tagName = kes_txtTagName->text().toStdString();
        s.profibus.address = kes_txtProfibusAdr->text().toStdString();
        kes_acyclic->take(s.profibus);
        s.powerUp = kes_chkPowerUp->isChecked();
        s.gas = kes_cboGas->currentText().toStdString();
        s.dynamic = kes_txtDynamic->text().toStdString();
        s.allSlots = kes_rdbAll->isChecked();
        logic_->kes_btnWriteClick();
        logic_->kes_Show();
        kes_btnWrite->setEnabled(true);
        refresh();
    });
}

void CustomerPage::applyLanguage(const TextSource& texts) {
    // The gases are device texts, written as they stand; the language file may offer others.
    const QString choices = QString::fromStdString(texts.text("kes_GasChoices"));
    if (choices.isEmpty()) return;
    const QString current = kes_cboGas->currentText();
    kes_cboGas->clear();
    for (const QString& gas : choices.split(';', Qt::SkipEmptyParts))
        kes_cboGas->addItem(gas.trimmed());
    kes_cboGas->setCurrentText(current);
}

void CustomerPage::showEvent(QShowEvent* event) {
    ConsolePageWidget::showEvent(event);
    if (!logic_) return;
    logic_->kes_Show();
    refresh();
}

void CustomerPage::refresh() {
    if (!logic_) return;
    const CustomerState& s = logic_->state();
    kes_txtLongGas->setText(QString::fromStdString(s.longGasName));
    kes_txtTagName->setText(QString::fromStdString(s.tagName));
    kes_txtProfibusAdr->setText(QString::fromStdString(s.profibus.address));
    kes_acyclic->show(s.profibus);
    kes_chkPowerUp->setChecked(s.powerUp);
    kes_cboGas->setCurrentText(QString::fromStdString(s.gas));
    kes_txtDynamic->setText(QString::fromStdString(s.dynamic));
}

} // namespace getkelo
