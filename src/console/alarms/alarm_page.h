#pragma once
#include "console/console_view.h"
#include "console/tick_hooks.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace getkelo {

class DeviceList;
class SignalPage;
class TTesra;

// Lamps of the alarm word (register 0x000D), by bit.
inline constexpr int kAlarmLamps = 11;
inline constexpr std::array<const char*, kAlarmLamps> kAlarmLampTexts = {
    "Power-Up Alarm",         "Analogeingang Alarm",   "Fluss bei Stellwert 0%",
    "Kein Fluss bei SW 100%", "Keine Flussänderung",   "Kommunikationsfehler",
    "RAM-Schreibfehler",      "EEPROM Zugriffsfehler", "Totalisatorwert verloren",
    "Keine Parameterwerte",   "Stromeingang Alarm"};
// The bits of the sensor alarms ("Sensor-Alarme"); the others are controller alarms.
inline constexpr uint16_t kSensorAlarmMask = 0x1E0;
inline constexpr uint16_t kControllerAlarmMask = 0x7FF;

// What the "Alarm" page shows.
struct AlarmPageState {
    bool controllerGroupsVisible = false; // "Regler-Alarme" and "Plausibilitätsüberprüfung"
    bool reverseFlowVisible = false;      // "Rückwärtsfluss Detektor" with its lamps

    bool detector = false; // "Detektor-Verhalten"
    bool detectorChanged = false;
    std::string delay; // "Alarm Verzögerung"
    bool delayChanged = false;
    std::string limit; // "Grenzwert [0..20%]"
    bool limitChanged = false;

    uint16_t alarmWord = 0;   // lamps Alarm00..Alarm10
    uint16_t reverseWord = 0; // bit 0 lamp Alarm16 "Fluss < 0", bit 1 Alarm17 "Fluss < Grenzwert"
    bool tabHighlighted = false;

    bool lamp(int bit) const { return (alarmWord >> bit) & 1u; }
    bool reverseLamp(int bit) const { return (reverseWord >> bit) & 1u; }
};

// The alarm page of the selected device, and the polling tick's alarm refresh. Also passes a
// device selection on to the signal page when that page is in front.
class AlarmPage : public AlarmHook {
  public:
    using Connection = std::function<TTesra*()>;

    AlarmPage(DeviceList& devices, ConsoleView& view, Connection connection);

    void setSignalPage(SignalPage* page) { signalPage_ = page; }
    // Called after every change of state() (the form repaints).
    void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }
    const AlarmPageState& state() const { return state_; }

    // The page came to the front (tab show): reads the settings, all fields unchanged.
    void AlarmSheetShow();
    // Operator edits; each marks its field changed.
    void detectorClick(bool ticked);
    void delayChange(const std::string& text);
    void limitChange(const std::string& text);
    // "Übernehmen": writes the changed fields, one write each, then shows the page again.
    void UebernehmenClick();

    // AlarmHook
    void refresh(int row) override;
    void deviceSelected(int row, ConsolePage front) override;

  private:
    TTesra* selectDevice(uint32_t& functions);
    void notify();

    DeviceList& devices_;
    ConsoleView& view_;
    Connection connection_;
    SignalPage* signalPage_ = nullptr;
    std::function<void()> changed_;
    AlarmPageState state_;
};

} // namespace getkelo
