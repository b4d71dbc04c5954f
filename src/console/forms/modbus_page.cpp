#include "console/forms/modbus_page.h"

#include "console/forms/component_texts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace getkelo {

static QLineEdit* readOnlyField(QWidget* parent, int width = 90) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setAlignment(Qt::AlignRight);
    e->setMinimumWidth(width);
    return e;
}

ModbusPage::ModbusPage(QWidget* parent) : ConsolePageWidget(ConsolePage::Modbus, "Modbus", parent) {
    markComponent(this, "ModbusSheet");
    auto* root = new QHBoxLayout(this);

    auto* bus = new QGroupBox("Bus", this);
    markComponent(bus, "BusGroup");
    auto* busLayout = new QVBoxLayout(bus);
    CheckBus = new QPushButton("Suche kel-o", bus);
    CheckBus->setCheckable(true);
    markComponent(CheckBus, "CheckBus");
    SetEdit = new QPushButton("Setze Adresse", bus);
    markComponent(SetEdit, "SetEdit");
    SetEdit->setEnabled(false);
    SearchNew = new QPushButton("Neuer kel-o", bus);
    markComponent(SearchNew, "SearchNew");
    AllAdr247 = new QPushButton("Alle Adr. 247", bus);
    markComponent(AllAdr247, "AllAdr247");
    for (QPushButton* b : {CheckBus, SetEdit, SearchNew, AllAdr247})
        busLayout->addWidget(b);
    busLayout->addStretch();
    root->addWidget(bus);

    auto* middle = new QVBoxLayout;
    MultiGroup = new QGroupBox("Abfrage", this);
    markComponent(MultiGroup, "MultiGroup");
    auto* scope = new QVBoxLayout(MultiGroup);
    singleDevice = new QRadioButton("Nur markiertes Gerät", MultiGroup);
    markComponent(singleDevice, "SingleDevice");
    allDevices = new QRadioButton("Alle Geräte simultan", MultiGroup);
    markComponent(allDevices, "AllDevices");
    singleDevice->setChecked(true);
    scope->addWidget(singleDevice);
    scope->addWidget(allDevices);
    middle->addWidget(MultiGroup);

    auto* setGroup = new QGroupBox("Sollwert", this);
    markComponent(setGroup, "SetpointGroup");
    auto* setLayout = new QGridLayout(setGroup);
    setpointEdit = new QLineEdit(setGroup);
    setpointEdit->setObjectName("SetpointEdit");
    setpointEdit->setAlignment(Qt::AlignRight);
    setpointUnit = new QLabel(setGroup);
    setpointUnit->setMinimumWidth(60);
    SollOKBtn = new QPushButton("Übernehmen", setGroup);
    markComponent(SollOKBtn, "SollOKBtn", "Ubernehmen");
    SollNull = new QPushButton("Alle Sollwerte 0", setGroup);
    markComponent(SollNull, "SollNull", "Setpoint0");
    CountRst = new QPushButton("Total löschen", setGroup);
    markComponent(CountRst, "CountRst", "Total0");
    setLayout->addWidget(setpointEdit, 0, 0);
    setLayout->addWidget(setpointUnit, 0, 1);
    setLayout->addWidget(SollOKBtn, 0, 2);
    setLayout->addWidget(SollNull, 1, 0, 1, 2);
    setLayout->addWidget(CountRst, 1, 2);
    middle->addWidget(setGroup);
    middle->addStretch();
    root->addLayout(middle);

    auto* values = new QGroupBox("Messwerte", this);
    markComponent(values, "ValuesGroup");
    auto* grid = new QGridLayout(values);
    flowField = readOnlyField(values);
    flowUnit = new QLabel(values);
    valveField = readOnlyField(values);
    totalField = readOnlyField(values);
    totalUnit = new QLabel(values);
    softwareVersion = readOnlyField(values, 70);
    hardwareVersion = readOnlyField(values, 70);
    int r = 0;
    auto caption = [values](const char* key, const char* german) {
        auto* l = new QLabel(german, values);
        markComponent(l, key);
        return l;
    };
    grid->addWidget(caption("lblModbusFlow", "Fluss"), r, 0);
    grid->addWidget(flowField, r, 1);
    grid->addWidget(flowUnit, r++, 2);
    grid->addWidget(caption("lblModbusValve", "Ventil"), r, 0);
    grid->addWidget(valveField, r, 1);
    grid->addWidget(new QLabel("%", values), r++, 2);
    grid->addWidget(caption("lblModbusTotal", "Total"), r, 0);
    grid->addWidget(totalField, r, 1);
    grid->addWidget(totalUnit, r++, 2);
    grid->addWidget(caption("lblModbusSoftware", "Software"), r, 0);
    grid->addWidget(softwareVersion, r++, 1);
    grid->addWidget(caption("lblModbusHardware", "Hardware"), r, 0);
    grid->addWidget(hardwareVersion, r++, 1);
    grid->setRowStretch(r, 1);
    grid->setColumnMinimumWidth(2, 60);
    root->addWidget(values);
    root->addStretch();
}

} // namespace getkelo
