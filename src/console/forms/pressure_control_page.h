#pragma once
#include "console/forms/console_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace getkelo {

class PressureControlParams;

// "Druckregelung": live pressure, flow and valve of a pressure controller, its setpoint and
// flow limit. The live values come from the console tick while the page is in front.
class PressureControlPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit PressureControlPage(QWidget* parent = nullptr);
    void attach(PressureControlParams* logic) { logic_ = logic; }
    void showLiveValues(const PressureLiveValues& v);
    void refresh();

    QLabel* pressureValue;
    QLabel* flowValue;
    QLabel* valveValue;
    QLineEdit* txtSetpoint;
    QLabel* lblSetpointUnit;
    QPushButton* btnPControlSSetpoint;
    QCheckBox* chkPControlFLimit;
    QLineEdit* txtFlowLimit;
    QLabel* lblFlowLimitUnit;
    QLineEdit* txtTagName;
    QPushButton* btnSavePress;
    QPushButton* btnPressSettings;

  signals:
    // The operator confirmed the warning: the expert settings dialog is to be shown.
    void pressSettingsRequested();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    PressureControlParams* logic_ = nullptr;
};

} // namespace getkelo
