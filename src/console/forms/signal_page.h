#pragma once
#include "console/forms/console_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace getkelo {

class SignalPage;

// "Signale" tab: signal choices, power-up setpoint, cut-off and control mode of the selected
// device, with their change marks and the "Achtung!" note. Shows the state of the SignalPage
// logic it is attached to; showing the tab reads the device.
class SignalSheet : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit SignalSheet(QWidget* parent = nullptr);

    void attach(SignalPage* logic);
    // Shows the logic's state.
    void refresh();
    void applyLanguage(const TextSource& texts) override;

    QGroupBox* Sollwertvorgabe;
    QComboBox* SollwertBox; // setpoint input signal
    QComboBox* AusgabeBox;  // measured-value output signal
    QGroupBox* Achtung;     // the note beside the output choice
    QCheckBox* PowerUpSet;
    QLineEdit* PowerUpEdit;
    QLineEdit* CutOffEdit;
    QComboBox* ModusBox; // control mode, entries from "ModusBox0".."ModusBox9"
    QLabel* cutOffUnit;  // unit labels the console fills for controllers
    QLabel* powerUpUnit;
    QPushButton* saveButton; // "Übernehmen"

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    SignalPage* logic_ = nullptr;
    QString readOnlyTip_; // on fields the page does not write for series-4 devices
};

} // namespace getkelo
