#pragma once
#include "console/console_view.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace getkelo {

class DeviceList;
class TTesra;

// The six signal entries of series-4 devices.
std::vector<std::string> series4SignalItems();
// Full scale of devices up to 4.0 from the first character of their text register 0x1004:
// above "E" "10 V", above "C" "5 V", otherwise "20 mA".
std::string fullScaleOf(const std::string& typeText);
// Entries of devices up to 4.0 for a full scale ("20 mA", "5 V", "10 V").
std::vector<std::string> signalItemsFor(const std::string& fullScale);
// Series 4: the entry of a device's signal code, and back. With a "V" output the voltage
// codes 0, 1, 3, 4 are the entries 2..5; otherwise the code is the entry. -1 when none fits.
int series4SignalEntry(int code, bool volts);
int series4SignalCode(int entry);

// What the "Signale" page shows.
struct SignalPageState {
    std::vector<std::string> inputItems;  // "Sollwertvorgabe"
    std::vector<std::string> outputItems; // "Messwertausgabe"
    int inputEntry = -1;
    int outputEntry = -1;
    bool inputVisible = false; // a meter has no setpoint input
    bool inputChanged = false;
    bool outputChanged = false;
    bool warningVisible = false; // "Achtung!"

    bool powerUpOn = false; // "Aktivieren" in "Aufstart-Sollwert"
    bool powerUpOnChanged = false;
    std::string powerUpValue;
    bool powerUpValueChanged = false;

    int modeEntry = 0; // "Regelmodus"; entries as the console fills them
    bool modeChanged = false;

    std::string cutOff; // "Cut-Off-Wert" in "Schleichmenge"
    bool cutOffChanged = false;

    std::string unit; // unit label of cut-off and power-up setpoint

    // Series 4 writes only the output choice and the control mode from this page: the other
    // fields show the device's values and cannot be edited.
    bool onlyOutputAndModeWritable = false;
};

// The signal page of the selected device.
class SignalPage {
  public:
    using Connection = std::function<TTesra*()>;

    SignalPage(DeviceList& devices, ConsoleView& view, Connection connection);

    // Shows or hides the pressure-control page for a control-mode code (the console's).
    void setPressurePage(std::function<void(int code)> f) { pressurePage_ = std::move(f); }
    void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }
    const SignalPageState& state() const { return state_; }
    // The control-mode code the device held at the last showing.
    int deviceModeCode() const { return deviceMode_; }

    // The page came to the front: reads everything, all fields unchanged.
    void tbsSignaleShow();
    // Operator edits; each marks its field changed.
    void inputChange(int entry);
    void outputChange(int entry);
    void powerUpClick(bool on);
    void powerUpValueChange(const std::string& text);
    void modeChange(int entry);
    void cutOffChange(const std::string& text);
    // "Übernehmen".
    void UebernehmenClick();

  private:
    TTesra* selectDevice();
    void evaluateWarning();
    void notify();

    DeviceList& devices_;
    ConsoleView& view_;
    Connection connection_;
    std::function<void(int)> pressurePage_;
    std::function<void()> changed_;
    SignalPageState state_;
    bool outputVolts_ = false; // series 4: the output's unit is "V"
    int deviceMode_ = 0;
};

} // namespace getkelo
