#pragma once
#include "console/console_settings.h"

#include <string>
#include <vector>

namespace getkelo {

// Controls and menu entries of the main window that the console logic enables or shows.
enum class ConsoleControl {
    // Device page
    ScanButton,    // "Suche kel-o"
    SetAddress,    // "Setze Adresse"
    NewDevice,     // "Neuer kel-o"
    AllAddress247, // "Alle Adr. 247"
    PollingScope,  // "Nur markiertes Gerät" / "Alle Geräte simultan"
    DeviceGrid,
    // Modbus page
    SetpointEntry,  // SollwertEdit
    SetpointButton, // SollOKBtn
    TotalReset,     // CountRst "Total löschen"
    // Menus
    GraphMenu,
    CalibrationMenu,
    DataSetsMenu,         // "Datensätze" of devices up to series 3
    DataSets4Menu,        // "Datensätze" of series-4 devices
    UpdateMenu,           // " Firmware Update"
    UpdateAllMenu,        // " Alle Geräte Updaten"
    UpdateSeparators,     // the separator lines around the update entries
    UpdateNoFirmwareMenu, // the update entry for devices without firmware
    RegisterMenu,         // "   Register"
    ImportMenu,           // "Konfig einlesen"
    ExportMenu,           // "Konfig erzeugen"
    OemMenu,              // "OEM"
};

// Pages (tabs) of the main window.
enum class ConsolePage {
    Device, // the device page with the scan buttons (always shown)
    Modbus,
    Signals, // "Signale"
    Alarm,
    Logger,           // "Daten-Logger"
    Mixer,            // "Mischer"
    Extras,           // series 4
    Filter,           // series 4
    Profibus,         // series 4 with Profibus
    PressureControl,  // series 4 with pressure control
    CustomerSpecific, // service mode only
    ProductionI,      // "Produktion-I", production mode only
};

// The live values of the pressure-control page.
struct PressureLiveValues {
    std::string pressure, pressureUnit;
    std::string flow, flowUnit;
    std::string valve; // with "%"
};

// Everything the console logic asks of the main window. The Qt form implements it; tests use a
// recording fake. All calls come from the one user-interface thread.
class ConsoleView {
  public:
    virtual ~ConsoleView() = default;

    // Polling timer (100 ms).
    virtual void startTimer() = 0;
    virtual void stopTimer() = 0;
    virtual bool timerActive() const = 0;

    // The scan toggle button "Suche kel-o" shows the scan state.
    virtual void setScanButtonDown(bool down) = 0;

    virtual void setControlEnabled(ConsoleControl control, bool enabled) = 0;
    virtual void setControlVisible(ConsoleControl control, bool visible) = 0;
    virtual void setPageVisible(ConsolePage page, bool visible) = 0;
    virtual void showPage(ConsolePage page) = 0;
    virtual ConsolePage frontPage() const = 0;

    // First status-bar panel.
    virtual void setStatusText(const std::string& text) = 0;
    // The connection panel: where the bus is and what its link is doing; `ok` false shows it
    // as a fault. Called when it changes; the view repaints it at once (a reopen blocks).
    virtual void setConnectionStatus(const std::string& text, bool ok) {
        (void)text;
        (void)ok;
    }

    // Version fields of the selected device.
    virtual void setVersions(const std::string& software, const std::string& hardware) = 0;
    // Unit labels beside setpoint, power-up setpoint and cut-off ("" empties them).
    virtual void setUnitLabels(const std::string& unit) = 0;

    // The setpoint entry field.
    virtual void setSetpointText(const std::string& text) = 0;
    virtual bool setpointHasFocus() const = 0;

    // Entries of the control-mode choice "Regelmodus".
    virtual void setControlModeItems(const std::vector<std::string>& items) = 0;

    // Polling scope: false "Nur markiertes Gerät", true "Alle Geräte simultan".
    virtual void setPollingScope(bool allDevices) = 0;

    // The logger page's controls (restored at start, read by the state save).
    virtual void setLoggerSettings(const LoggerSettings& settings) = 0;
    virtual LoggerSettings loggerSettings() const = 0;
    // Start and stop fields of the logger, filled with the current local time at start.
    virtual void setLoggerStartStop(const DateTime& now) = 0;

    // The mixer list (names of the mixer sections).
    virtual void setMixerNames(const std::vector<std::string>& names) = 0;

    // Flow-graph window: size at start and exit, and whether it is showing.
    virtual void setGraphSize(int width, int height) = 0;
    virtual void graphSize(int& width, int& height) const = 0;
    virtual bool flowGraphShown() const = 0;

    // Live values of the pressure-control page while it is in front.
    virtual void showPressureLiveValues(const PressureLiveValues& values) = 0;

    // The about box as a start-up notice.
    virtual void showAboutBox() = 0;
    virtual void closeAboutBox() = 0;

    // End of the exit routine: the program ends with exit code 0.
    virtual void endProgram() = 0;
};

} // namespace getkelo
