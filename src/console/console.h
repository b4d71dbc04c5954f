#pragma once
#include "console/console_settings.h"
#include "console/console_view.h"
#include "console/device_list.h"
#include "console/text_source.h"
#include "console/tick_hooks.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace getkelo {

class TComm;
class TTesra;
class UiAdapter;
struct DeviceIdentity;

// Where the console keeps its files.
struct ConsolePaths {
    std::string iniPath;    // full path of "GetKelo.ini"
    std::string programDir; // installed data folder (language files, help, "Kontakt.txt")
    std::string homeDir;    // home folder for the Windows drive defaults
};

// The operator console's logic: start-up and exit, the device list, the bus scan and address
// tools, device selection, the polling tick and the direct device commands. The main window
// forwards its events here and shows what the console tells its ConsoleView.
class Console {
  public:
    // Makes the console's connection when it has none (start-up, after the connection dialog).
    // The default opens the channel of the settings' section "Tesra".
    using ConnectionFactory = std::function<std::unique_ptr<TTesra>(TComm&)>;

    Console(TComm& comm, ConsoleView& view, UiAdapter& ui, const TextSource& texts,
            ConsolePaths paths);
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    void setConnectionFactory(ConnectionFactory factory) { factory_ = std::move(factory); }
    // What the status bar calls the connection; the default names the port or gateway of the
    // settings' section "Tesra" ("COM1 (/dev/ttyUSB0)", "TCP 192.168.0.10:502").
    void setLinkName(std::function<std::string()> name) { linkNameOf_ = std::move(name); }
    const std::string& linkName() const { return linkName_; }
    void setLogHook(LogHook* hook) { logHook_ = hook; }
    void setAlarmHook(AlarmHook* hook) { alarmHook_ = hook; }
    void setMixerHook(MixerHook* hook) { mixerHook_ = hook; }
    void setZoomHook(ZoomHook* hook) { zoomHook_ = hook; }
    void setRequestHook(RequestHook* hook) { requestHook_ = hook; }
    LogHook* logHook() const { return logHook_; }

    // ---- start and stop
    // The main window's first show; later calls do nothing.
    void FormShow();
    // True once start-up is complete (with restoring in ticks: after the last stored device).
    bool started() const { return started_; }
    // The stored devices are probed again one per polling tick instead of all inside
    // FormShow, so the window is usable at once (the desktop program turns this on).
    void setRestoreInTicks(bool on) { restoreInTicks_ = on; }
    bool restoring() const { return restoring_; }
    // Exit command and closing the main window.
    void BeendenMnuClick();
    // Rewrites section "Init" (scope focus loss, end of a scan, record button, exit).
    void saveState();
    // Before the connection dialog: the channel is closed, so its port can be listed and chosen.
    void closeConnection();
    // After the connection dialog: closes the connection and opens it again from the settings.
    // A connection to another bus clears the old bus's list and scans the new one (its devices
    // are others; keeping the rows would show their values under the wrong devices).
    void reopenConnection();
    // After a firmware update: the list is cleared and the devices at these addresses are
    // probed again in order, up to the first 0.
    void rebuildDevices(const std::vector<int>& addresses);
    // After a language change: the texts that come from the language (grid headers, control
    // mode entries) are applied again.
    void applyLanguage();

    // ---- polling
    void TimerTimer();
    TickDoneFlag& tickDone() { return tickDone_; }
    // Polling scope changed by the operator (true = "Alle Geräte simultan").
    void setPollAll(bool all) { pollAll_ = all; }
    bool pollAll() const { return pollAll_; }
    // The polling-scope choice lost the focus: state save.
    void MultiGroupExit() { saveState(); }

    // ---- bus scan and addresses
    // The scan button changed; down = start a full scan, up = end the running scan.
    void CheckBusClick(bool down);
    bool scanning() const { return scanning_; }
    // Devices found by the running scan so far.
    int scanFound() const { return scanning_ ? list_.count() : 0; }
    // Probes the scan address once (one tick of a scan, a stored address at start-up).
    void Probe();
    // Reads range, unit and gas of the device at the connection's Address into the current row.
    void ReadRangeAndUnit();
    void ChangeAdrClick();
    void SearchNewClick();
    void AllAdr247Click();

    // ---- selection
    // The operator selected a grid row (also used by start-up and by the end of a scan).
    void selectRow(int row);
    int currentRow() const { return currentRow_; }

    // ---- commands
    // "Übernehmen" beside the setpoint: the entry's text becomes the pending setpoint.
    void SollOKBtnClick(const std::string& entryText);
    // -1 when none is pending.
    float pendingSetpoint() const { return hasPendingSetpoint_ ? pendingSetpoint_ : -1.0f; }
    void SollNullClick();   // "Alle Sollwerte 0"
    void CountRstClick();   // "Total löschen"
    void AlarmResetClick(); // "Alarm Reset"
    void SoftresetClick();  // "   Softreset"
    // The control-mode choice itself lives on the signal page, which writes the code.
    // Shows or hides the pressure-control page for a mode code of the selected device.
    void showPressurePageFor(int modeCode);

    // ---- state for forms and other subsystems
    DeviceList& devices() { return list_; }
    const DeviceList& devices() const { return list_; }
    ConsoleSettings& settings() { return settings_; }
    // The one device connection (null before start-up).
    TTesra* connection() { return tesra_.get(); }
    TComm& comm() { return comm_; }
    const TextSource& texts() const { return texts_; }

  private:
    // False when the settings file could not be written.
    bool saveStateOnly();
    // Opens the one connection from the factory and shows its state.
    void openConnection();
    // The status bar's connection panel, when the link's state changed.
    void showConnectionState(bool force = false);
    std::string defaultLinkName();
    // A message text of the language file, or its German wording.
    std::string msg(const char* key, const char* german) const {
        return textOr(texts_, key, german);
    }
    void showScanProgress();
    // Makes the row's device the one the window shows and commands go to (selection without
    // the page clicks of the logger and mixer pages).
    void showDevice(int row);
    void select(int row, bool click);
    void restoreNextDevice();
    void finishStartup();
    void addProbedDevice(const DeviceIdentity& id);
    void endScan();
    void hideDevicePages();
    void applyGeneration(int row);
    void toggleMark(int row, int column);
    void tick();
    void sendPendingSetpoint();
    // Polls one row; false when the row was removed (its fourth failure in a row).
    bool pollRow(int row, bool lineDue);
    void removeRow(int row);
    void showPressureLive();
    std::vector<std::string> controlModeItems(int count) const;
    // Result of a 2-register read at an address (is the address taken?).
    int answersAt(int address);

    TComm& comm_;
    ConsoleView& view_;
    UiAdapter& ui_;
    const TextSource& texts_;
    ConsoleSettings settings_;
    DeviceList list_;
    std::unique_ptr<TTesra> tesra_;
    ConnectionFactory factory_;
    std::function<std::string()> linkNameOf_;
    std::string linkName_;
    int shownLinkState_ = -1;
    LogHook* logHook_ = nullptr;
    AlarmHook* alarmHook_ = nullptr;
    MixerHook* mixerHook_ = nullptr;
    ZoomHook* zoomHook_ = nullptr;
    RequestHook* requestHook_ = nullptr;
    TickDoneFlag tickDone_;

    bool shown_ = false;
    bool started_ = false;
    bool restoreInTicks_ = false;
    bool restoring_ = false;
    std::vector<StoredDevice> toRestore_;
    size_t restoreNext_ = 0;
    bool storedLog_ = false; // "Log" of the file: logging starts after the restore
    int storedAktiv_ = 1;    // "Aktiv" of the file: selected after the restore
    bool scanning_ = false;
    int scanAddress_ = 1;
    int notTaken_ = 0;             // devices of this scan that found the list full
    bool scanAfterAll247_ = false; // the scan follows "Alle Adr. 247"
    int currentRow_ = 0;
    bool pollAll_ = false;
    float pendingSetpoint_ = -1.0f;
    bool hasPendingSetpoint_ = false;
    bool reselect_ = false; // the selected row's device was removed
};

} // namespace getkelo
