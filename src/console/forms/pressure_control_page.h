#pragma once
#include "console/forms/console_page.h"

#include <QLabel>

namespace getkelo {

// "Druckregelung": live pressure, flow and valve of a pressure controller, its setpoint and
// flow limit. The live values come from the console tick while the page is in front.
class PressureControlPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit PressureControlPage(QWidget* parent = nullptr);
    void showLiveValues(const PressureLiveValues& v);

    QLabel* pressureValue;
    QLabel* flowValue;
    QLabel* valveValue;
};

} // namespace getkelo
