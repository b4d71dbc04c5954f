#pragma once
#include <QObject>
#include <memory>

class QWidget;

namespace getkelo {

class AnalogCheck;
class CalibDataFiles;
class CalibrationRun;
class Console;
class LutAdjustment;
class LutSlotManager;
class TKalibration;
class TMultiLookup;
class TextSource;
class UiAdapter;

// The calibration windows of the main menu ("Justieren", "Datensätze") for the device selected
// in the console; the logic objects are made for the connection open at the time.
class CalibrationWindows : public QObject {
    Q_OBJECT
  public:
    CalibrationWindows(Console& console, UiAdapter& ui, const TextSource& texts, QWidget* parent);
    ~CalibrationWindows() override;

    void JustierenClick();
    void DatensaetzeClick();

  private:
    bool prepare();

    Console& console_;
    UiAdapter& ui_;
    const TextSource& texts_;
    QWidget* parent_;
    std::unique_ptr<CalibDataFiles> files_;
    std::unique_ptr<CalibrationRun> run_;
    std::unique_ptr<LutAdjustment> adjust_;
    std::unique_ptr<LutSlotManager> slots_;
    std::unique_ptr<AnalogCheck> analog_;
};

} // namespace getkelo
