#pragma once
#include "console/forms/console_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVector>

namespace getkelo {

class AlarmPage;

// "Alarm" tab: the lamps of the alarm and reverse-flow words, the alarm settings with their
// change marks, "Übernehmen" and "Alarm Reset". Shows the state of the AlarmPage logic it is
// attached to; showing the tab reads the device.
class AlarmSheet : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit AlarmSheet(QWidget* parent = nullptr);

    void attach(AlarmPage* logic);
    // Shows the logic's state.
    void refresh();
    // Lamp of alarm bit 0..10, 16 and 17.
    void setLamp(int bit, bool on);

    QGroupBox* ReglerAlarm;
    QGroupBox* SensorAlarm;
    QGroupBox* ReverseFlow;
    QGroupBox* Plausibel;
    QCheckBox* DetektorSet;
    QLineEdit* VerzugEdit;
    QLineEdit* ReverseFlowEdit;
    QPushButton* resetButton; // "Alarm Reset": the console's command
    QPushButton* saveButton;  // "Übernehmen"

  signals:
    // The alarm tab's caption should show (or stop showing) that an alarm is raised.
    void highlightChanged(bool highlighted);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* lamp(int bit) const;
    QVector<QPair<int, QLabel*>> lamps_;
    AlarmPage* logic_ = nullptr;
    bool highlighted_ = false;
};

} // namespace getkelo
