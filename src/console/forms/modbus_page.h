#pragma once
#include "console/forms/console_page.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace getkelo {

// The device page: bus scan and address tools, polling scope, setpoint and the live values
// of the selected device.
class ModbusPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit ModbusPage(QWidget* parent = nullptr);

    QPushButton* CheckBus;  // "Suche kel-o", a toggle
    QPushButton* SetEdit;   // "Setze Adresse"
    QPushButton* SearchNew; // "Neuer kel-o"
    QPushButton* AllAdr247; // "Alle Adr. 247"
    QGroupBox* MultiGroup;
    QRadioButton* singleDevice; // "Nur markiertes Gerät"
    QRadioButton* allDevices;   // "Alle Geräte simultan"
    QLineEdit* setpointEdit;
    QLabel* setpointUnit;
    QPushButton* SollOKBtn; // "Übernehmen"
    QPushButton* SollNull;  // "Alle Sollwerte 0"
    QPushButton* CountRst;  // "Total löschen"
    QLineEdit* flowField;
    QLabel* flowUnit;
    QLineEdit* valveField;
    QLineEdit* totalField;
    QLabel* totalUnit;
    QLineEdit* softwareVersion;
    QLineEdit* hardwareVersion;
};

} // namespace getkelo
