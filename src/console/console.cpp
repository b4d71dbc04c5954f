#include "console/console.h"

#include "base/clock.h"
#include "base/ini_file.h"
#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/control_mode.h"
#include "console/device_probe.h"
#include "console/software_generation.h"
#include "ui/ui_adapter.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace getkelo {

namespace {

constexpr int kScanRetryLimit = 15;
constexpr int kPollRetryLimit = 100;

// A read value as a number; "Fehler" and other texts count as 0.
long long valueAsInteger(const std::string& text) {
    long long v = 0;
    return parseInteger(text, v) ? v : 0;
}

} // namespace

Console::Console(TComm& comm, ConsoleView& view, UiAdapter& ui, const TextSource& texts,
                 ConsolePaths paths)
    : comm_(comm), view_(view), ui_(ui), texts_(texts),
      settings_(paths.iniPath, paths.programDir, paths.homeDir) {
    factory_ = [this](TComm& c) {
        const std::string bad = ConsoleSettings::connectionRangeError(settings_.file(), "Tesra");
        if (!bad.empty()) {
            // Cut to 16 bits it would name another port: no channel instead.
            ui_.messageBox(texts_.text("infoSettingOutOfRange") + "\n" + settings_.file().path() +
                               ": " + bad,
                           "GetKelo", MsgIcon::Error, MsgButtons::Ok);
            return std::make_unique<TTesra>(c, TChannel{false, -1});
        }
        return std::make_unique<TTesra>(c, c.ReadConnectionSettings("Tesra"));
    };
    linkNameOf_ = [this] { return defaultLinkName(); };
}

Console::~Console() = default;

// ---------------------------------------------------------------- start and stop

void Console::FormShow() {
    if (shown_) return;
    shown_ = true;
    // The debug trace goes to stderr only when asked for, as a debugger would show it.
    if (std::getenv("GETKELO_DEBUG")) std::clog << "Starte Get Kelo." << std::endl;
    view_.showAboutBox();
    if (!tesra_) {
        comm_.InitSettings(settings_.file().path());
        openConnection();
    }
    applyLanguage();
    settings_.load();
    view_.setGraphSize(settings_.graphWidth, settings_.graphHeight);
    // Nothing is selected yet: no setpoint can go anywhere.
    view_.setControlEnabled(ConsoleControl::SetpointEntry, false);
    view_.setControlEnabled(ConsoleControl::SetpointButton, false);

    // The window's own values come back before the devices, so that the operator sees them at
    // once and a state save while devices are still being found keeps them.
    pollAll_ = settings_.multi();
    view_.setPollingScope(pollAll_);
    const LoggerSettings logger = settings_.loggerSettings();
    view_.setLoggerSettings(logger);
    storedLog_ = logger.log;
    storedAktiv_ = settings_.aktiv();

    // The devices of the last run, in their old order.
    toRestore_ = settings_.storedDevices();
    restoreNext_ = 0;
    restoring_ = true;
    if (restoreInTicks_) {
        // The window is usable at once; the stored devices come back one per tick.
        view_.setControlEnabled(ConsoleControl::ScanButton, false);
        return;
    }
    while (restoring_)
        restoreNextDevice();
}

void Console::restoreNextDevice() {
    while (restoreNext_ < toRestore_.size()) {
        const StoredDevice stored = toRestore_[restoreNext_++];
        if (list_.full()) break;
        if (list_.findAddress(stored.address)) continue; // a damaged file listing one twice
        int before = list_.count();
        scanAddress_ = stored.address;
        view_.setStatusText(msg("StatusSearch", "Search address") + " " +
                            std::to_string(scanAddress_));
        tesra_->Address = static_cast<uint8_t>(scanAddress_);
        if (auto id = probeIdentity(*tesra_)) addProbedDevice(*id);
        // Only the device just found gets the mark; a silent address marks nobody.
        if (stored.logged && list_.count() > before)
            list_.setCell(list_.count(), kColLogMark, " x");
        return;
    }
    restoring_ = false;
    toRestore_.clear();
    finishStartup();
}

void Console::finishStartup() {
    view_.setControlEnabled(ConsoleControl::ScanButton, true);
    view_.setMixerNames(settings_.mixerNames());

    if (list_.count() > 0 && storedAktiv_ != 1) showDevice(storedAktiv_);

    view_.setLoggerStartStop(localDateTime(comm_.clock().nowMs()));
    view_.closeAboutBox();

    // Devices found again can get a new address at once, as after a scan.
    view_.setControlEnabled(ConsoleControl::SetAddress, list_.count() > 0);
    if (list_.count() == 0) {
        CheckBusClick(true);
    } else if (list_.selectedRow() == 1) {
        showDevice(1);
    }
    // The operator may have started logging already while the devices were being found.
    if (storedLog_ && logHook_ && !logHook_->running()) logHook_->start();
    started_ = true;
}

void Console::saveState() {
    view_.stopTimer();
    saveStateOnly();
    view_.startTimer();
}

bool Console::saveStateOnly() {
    ConsoleState state;
    state.multi = pollAll_;
    state.aktiv = list_.selectedRow();
    state.logger = view_.loggerSettings();
    for (int r = 1; r <= list_.count(); ++r)
        state.devices.push_back({list_.record(r).address, list_.marked(r, kColLogMark)});
    if (restoring_) {
        // Start-up has not finished: what it has not restored yet keeps its stored value.
        state.aktiv = storedAktiv_;
        state.logger.log = state.logger.log || storedLog_;
        for (size_t i = restoreNext_; i < toRestore_.size(); ++i)
            if (!list_.findAddress(toRestore_[i].address)) state.devices.push_back(toRestore_[i]);
    }
    return settings_.saveState(state);
}

void Console::BeendenMnuClick() {
    view_.stopTimer();
    if (tesra_) {
        // Relocks every device the scan unlocked.
        tesra_->WriteValue(reg::kAccessCode, "0", kWriteBroadcast);
    }
    comm_.SaveLanguage();
    tesra_.reset();
    int w = settings_.graphWidth, h = settings_.graphHeight;
    view_.graphSize(w, h);
    bool saved = settings_.saveDirectories(w, h);
    saved = saveStateOnly() && saved; // the timer stays off: the channel is closed
    if (!saved) {
        // What the operator set would be gone at the next start: say so, and where.
        ui_.messageBox(texts_.text("infoSettingsNotSaved") + "\n" + settings_.file().lastError(),
                       "GetKelo", MsgIcon::Error, MsgButtons::Ok);
    }
    view_.endProgram();
}

void Console::closeConnection() {
    tesra_.reset();
}

void Console::openConnection() {
    linkName_ = linkNameOf_ ? linkNameOf_() : std::string();
    // Opening a gateway that does not answer blocks for seconds: say what is going on.
    view_.setConnectionStatus(linkName_ + ": " + msg("LinkOpening", "wird geöffnet ..."), true);
    tesra_ = factory_(comm_);
    showConnectionState(true);
}

void Console::reopenConnection() {
    const std::string before = linkName_;
    tesra_.reset();
    openConnection();
    if (!started_ && !restoring_) return;
    if (linkName_ == before) {
        if (list_.count() > 0 && tesra_)
            tesra_->Address = list_.record(list_.selectedRow()).address;
        return;
    }
    // Another bus: its devices are others. The stored devices not yet found again belonged to
    // the old bus too.
    if (restoring_) {
        restoreNext_ = toRestore_.size();
        storedLog_ = false;
        restoreNextDevice();
    }
    view_.setScanButtonDown(true);
    CheckBusClick(true);
}

std::string Console::defaultLinkName() {
    IniFile& ini = settings_.file();
    if (ini.readBool("Tesra", "TcpIp", false))
        return "TCP " + ini.readString("Tesra", "IP", "0.0.0.0") + ":" +
               std::to_string(ini.readInteger("Tesra", "Port", 0));
    const int com = static_cast<int>(ini.readInteger("Tesra", "Com", 1));
    return "COM" + std::to_string(com) + " (" + comm_.ComPortPath(com) + ")";
}

void Console::showConnectionState(bool force) {
    const ChannelState state = tesra_ ? comm_.channelState(tesra_->Handle) : ChannelState::Closed;
    if (!force && static_cast<int>(state) == shownLinkState_) return;
    shownLinkState_ = static_cast<int>(state);
    switch (state) {
    case ChannelState::Open:
        view_.setConnectionStatus(linkName_ + ": " + msg("LinkOpen", "verbunden"), true);
        break;
    case ChannelState::Reconnecting:
        view_.setConnectionStatus(
            linkName_ + ": " + msg("LinkLost", "unterbrochen, neuer Versuch ..."), false);
        break;
    case ChannelState::Closed:
        view_.setConnectionStatus(linkName_ + ": " + msg("LinkClosed", "nicht geöffnet"), false);
        break;
    }
}

void Console::rebuildDevices(const std::vector<int>& addresses) {
    list_.clearDevices();
    const int keep = scanAddress_;
    for (int address : addresses) {
        if (address == 0) break;
        scanAddress_ = address;
        Probe();
    }
    scanAddress_ = keep;
    if (list_.count() > 0) selectRow(1);
    list_.touch();
}

void Console::applyLanguage() {
    static const std::pair<int, const char*> kHeaders[] = {
        {kColAddress, "Address"}, {kColSerial, "SerialNo"},   {kColTypeCode, "TypeCode"},
        {kColGas, "Gas"},         {kColRange, "Range"},       {kColFlow, "FlowEdit"},
        {kColUnit, "Unit"},       {kColTemperature, "Temp."}, {kColTotal, "Total"},
    };
    for (const auto& [column, key] : kHeaders)
        list_.setHeader(column, texts_.text(key));
    list_.setHeader(kColLogMark, "L");
    list_.setHeader(kColMixMark, "M");
    if (tesra_) showConnectionState(true);
    if (currentRow_ >= 1 && currentRow_ <= list_.count()) {
        const skelo& rec = list_.record(currentRow_);
        view_.setControlModeItems(
            controlModeItems(hasPressureControl(rec.softwareVersion, rec.functions) ? 10 : 8));
    }
}

// ---------------------------------------------------------------- bus scan

void Console::CheckBusClick(bool down) {
    view_.stopTimer();
    if (down) {
        scanning_ = true;
        notTaken_ = 0;
        scanAfterAll247_ = false;
        view_.setScanButtonDown(true);
        if (logHook_ && logHook_->running()) logHook_->stop();
        if (mixerHook_) mixerHook_->stop();
        comm_.RetryLimit = kScanRetryLimit; // an empty address costs about 0.17 s
        view_.setControlEnabled(ConsoleControl::NewDevice, false);
        view_.setControlEnabled(ConsoleControl::AllAddress247, false);
        scanAddress_ = 1;
        list_.clearDevices();
        currentRow_ = 0;
        reselect_ = false;
        hasPendingSetpoint_ = false;
        view_.setControlEnabled(ConsoleControl::SetAddress, false);
        hideDevicePages();
        ui_.progressStart(textOr(texts_, "CheckBus", "Suche kel-o"), "", 247);
        ui_.progressAllowStop(msg("ScanStop", "Stopp"));
        Probe();
    } else if (scanning_) {
        scanAddress_ = 247;
        Probe();
        view_.setControlEnabled(ConsoleControl::AllAddress247, true);
        view_.setControlEnabled(ConsoleControl::NewDevice, true);
        view_.setControlEnabled(ConsoleControl::SetAddress, true);
    }
    view_.stopTimer();
    saveStateOnly();
    view_.startTimer();
}

void Console::Probe() {
    view_.setStatusText(msg("StatusSearch", "Search address") + " " + std::to_string(scanAddress_));
    if (tesra_) {
        tesra_->Address = static_cast<uint8_t>(scanAddress_);
        if (!list_.full()) {
            if (auto id = probeIdentity(*tesra_)) addProbedDevice(*id);
        } else if (probeIdentity(*tesra_, true)) {
            ++notTaken_;
        }
    }
    ++scanAddress_;
    if (scanning_) showScanProgress();
    if (scanAddress_ > 247 && scanning_) endScan();
}

void Console::showScanProgress() {
    const int done = std::min(scanAddress_ - 1, 247);
    ui_.progressLabel(fillArgs(msg("ScanProgress", "Adresse %1 von 247, %2 Geräte gefunden"),
                               {std::to_string(done), std::to_string(list_.count())}));
    ui_.progressPosition(done);
}

void Console::addProbedDevice(const DeviceIdentity& id) {
    int row = list_.appendRow();
    if (row == 0) return;
    currentRow_ = row;
    skelo& rec = list_.record(row);
    rec.address = id.address;
    rec.hardwareVersion = id.hardwareVersion;
    rec.softwareVersion = id.softwareVersion;
    rec.functions = id.functions;
    // Column 0 is filled at once: polling and the state save take the address from the row
    // even when the range read below fails.
    list_.setCell(row, kColAddress, std::to_string(id.address));
    list_.setCell(row, kColSerial, id.serial);
    list_.setCell(row, kColTypeCode, id.typeCode);
    list_.setCell(row, kColTotalUnit, id.totalUnit);
    if (id.rangeRead) {
        list_.setCell(row, kColRange, id.range);
        list_.setCell(row, kColUnit, id.unit);
        list_.setCell(row, kColGas, id.gas);
        rec.unit = id.unit;
    }
    list_.touch();
}

void Console::ReadRangeAndUnit() {
    if (!tesra_ || currentRow_ < 1 || currentRow_ > list_.count()) return;
    DeviceIdentity id;
    if (!readRangeAndUnit(*tesra_, id)) return;
    list_.setCell(currentRow_, kColAddress, std::to_string(list_.record(currentRow_).address));
    list_.setCell(currentRow_, kColRange, id.range);
    list_.setCell(currentRow_, kColUnit, id.unit);
    list_.setCell(currentRow_, kColGas, id.gas);
    list_.record(currentRow_).unit = id.unit;
}

void Console::endScan() {
    scanning_ = false;
    ui_.progressFinish(list_.count() > 0 ? fillArgs(msg("ScanFound", "%1 Geräte gefunden"),
                                                    {std::to_string(list_.count())})
                                         : msg("ScanNoDevice", "Kein Gerät gefunden"));
    view_.setScanButtonDown(false);
    view_.setControlEnabled(ConsoleControl::NewDevice, true);
    view_.setControlEnabled(ConsoleControl::AllAddress247, true);
    if (list_.count() > 0) {
        view_.setControlEnabled(ConsoleControl::SetAddress, true);
        showDevice(currentRow_);
    }
    if (notTaken_ > 0) {
        ui_.messageBox(fillArgs(msg("ListFull", "Die Geräteliste ist voll (%1 Geräte): %2 "
                                                "weitere Geräte wurden nicht aufgenommen."),
                                {std::to_string(kMaxDevices), std::to_string(notTaken_)}),
                       "GetKelo", MsgIcon::Warning);
        notTaken_ = 0;
    }
    if (scanAfterAll247_ && list_.count() == 0) {
        // Every device now answers at 247 at once: their answers collide and none is found.
        ui_.messageBox(msg("All247NoneFound",
                           "Kein Gerät gefunden: Nach \"Alle Adr. 247\" antworten alle Geräte auf "
                           "Adresse 247 gleichzeitig und stören sich. Schließen Sie die Geräte "
                           "einzeln an und geben Sie jedem mit \"Neuer kel-o\" eine eigene "
                           "Adresse."),
                       textOr(texts_, "AllAdr247", "Alle Adr. 247"), MsgIcon::Information);
    }
    scanAfterAll247_ = false;
}

int Console::answersAt(int address) {
    if (!tesra_) return kResultNoAnswer;
    uint8_t frame[kFrameBufferSize] = {static_cast<uint8_t>(address), 0x03, 0x00, 0x00, 0x00, 2};
    return tesra_->Transact(frame, 6, 9);
}

void Console::ChangeAdrClick() {
    view_.stopTimer();
    if (!tesra_) {
        view_.startTimer();
        return;
    }
    int current = tesra_->Address;
    int wanted = 0;
    while (wanted < 1 || wanted > 247) {
        auto answer =
            ui_.inputBox(texts_.text("SetAdr"), texts_.text("NewAdr"), std::to_string(current));
        long long v = 0;
        if (!answer)
            v = current;
        else if (!parseInteger(*answer, v))
            v = 0;
        wanted = v >= 1 && v <= 247 ? static_cast<int>(v) : 0;
        // Asked again: the operator learns why (0 is the broadcast, 248 and up do not exist).
        if (wanted == 0)
            ui_.messageBox(textOr(texts_, "AdrError", "Ungültige Adresse!") + "\n" +
                               msg("AdrRange", "Erlaubt sind die Adressen 1 bis 247."),
                           texts_.text("SetAdr"), MsgIcon::Warning);
    }
    if (wanted != current) {
        if (answersAt(wanted) == kResultOk) {
            ui_.messageBox(texts_.text("AdrExist"), texts_.text("SetAdr"), MsgIcon::Error);
        } else {
            uint8_t frame[kFrameBufferSize] = {
                static_cast<uint8_t>(current), 0x06, 0x00, 0x13, 0x00,
                static_cast<uint8_t>(wanted)};
            if (tesra_->Transact(frame, 6, 8) != kResultOk) {
                ui_.messageBox(texts_.text("EepromError"), texts_.text("SetAdr"), MsgIcon::Error);
            } else {
                ui_.beep();
                ui_.messageBox(texts_.text("AdrOK"), texts_.text("SetAdr"), MsgIcon::Information,
                               MsgButtons::Ok);
            }
            view_.setScanButtonDown(true);
            CheckBusClick(true);
        }
    }
    view_.startTimer();
}

void Console::SearchNewClick() {
    if (answersAt(247) != kResultOk) {
        ui_.messageBox(texts_.text("NoKelo"), texts_.text("NewKelo"), MsgIcon::Warning);
        return;
    }
    tesra_->Address = 247;
    ChangeAdrClick();
}

void Console::AllAdr247Click() {
    view_.stopTimer();
    // It reaches every device on the bus and cannot be undone from the window: ask first.
    const MsgAnswer answer = ui_.messageBox(
        msg("ConfirmAllAdr247",
            "Alle Geräte am Bus bekommen die Adresse 247, auch Geräte, die nicht in der Liste "
            "stehen. Mehrere Geräte auf derselben Adresse findet die Suche danach nicht mehr; "
            "jedes braucht dann einzeln mit \"Neuer kel-o\" eine eigene Adresse.\nFortfahren?"),
        textOr(texts_, "AllAdr247", "Alle Adr. 247"), MsgIcon::Warning, MsgButtons::YesNo);
    if (answer != MsgAnswer::Yes) {
        view_.startTimer();
        return;
    }
    if (tesra_) tesra_->WriteValue(reg::kModbusAddress, "247", kWriteBroadcast);
    view_.setScanButtonDown(true);
    CheckBusClick(true);
    scanAfterAll247_ = true;
}

// ---------------------------------------------------------------- selection

void Console::hideDevicePages() {
    for (ConsolePage p :
         {ConsolePage::Signals, ConsolePage::Alarm, ConsolePage::Logger, ConsolePage::Mixer,
          ConsolePage::Extras, ConsolePage::Filter, ConsolePage::Profibus,
          ConsolePage::PressureControl, ConsolePage::CustomerSpecific, ConsolePage::ProductionI})
        view_.setPageVisible(p, false);
    for (ConsoleControl c :
         {ConsoleControl::GraphMenu, ConsoleControl::CalibrationMenu, ConsoleControl::RegisterMenu,
          ConsoleControl::TotalReset, ConsoleControl::ImportMenu, ConsoleControl::ExportMenu,
          ConsoleControl::OemMenu})
        view_.setControlEnabled(c, false);
    view_.setVersions("", "");
    view_.setUnitLabels("");
    view_.setSetpointText("");
    view_.setControlEnabled(ConsoleControl::SetpointEntry, false);
    view_.setControlEnabled(ConsoleControl::SetpointButton, false);
    view_.setControlModeItems({});
}

std::vector<std::string> Console::controlModeItems(int count) const {
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i)
        items.push_back(texts_.text("ModusBox" + std::to_string(i)));
    return items;
}

void Console::selectRow(int row) {
    select(row, true);
}

void Console::showDevice(int row) {
    select(row, false);
}

void Console::select(int row, bool click) {
    view_.stopTimer();
    // A setpoint typed for the device shown so far never goes to another one.
    hasPendingSetpoint_ = false;
    pendingSetpoint_ = -1.0f;
    reselect_ = false;
    if (scanning_) {
        // Selecting a row ends a running scan where it stands.
        scanning_ = false;
        scanAfterAll247_ = false;
        ui_.progressFinish(
            fillArgs(msg("ScanFound", "%1 Geräte gefunden"), {std::to_string(list_.count())}));
        view_.setScanButtonDown(false);
        view_.setControlEnabled(ConsoleControl::NewDevice, true);
        view_.setControlEnabled(ConsoleControl::AllAddress247, true);
        view_.setControlEnabled(ConsoleControl::SetAddress, list_.count() > 0);
    }
    view_.setControlEnabled(ConsoleControl::GraphMenu, false);
    view_.setControlEnabled(ConsoleControl::CalibrationMenu, false);
    ConsolePage front = view_.frontPage();
    if (front != ConsolePage::Logger && front != ConsolePage::Mixer) {
        view_.showPage(ConsolePage::Modbus);
        front = ConsolePage::Modbus;
    }
    if (list_.count() == 0 || !tesra_) {
        view_.startTimer();
        return;
    }
    if (row < 1) row = 1;
    if (row > list_.count()) row = list_.count();
    currentRow_ = row;
    list_.setSelectedRow(row);
    skelo& rec = list_.record(row);
    tesra_->Address = rec.address;
    comm_.RetryLimit = kPollRetryLimit;

    view_.setVersions(rec.softwareVersion, rec.hardwareVersion);
    view_.setControlEnabled(ConsoleControl::RegisterMenu, true);
    const bool controller = rec.functions & kFnController;
    // The entry shows this device's setpoint from its next poll on.
    view_.setSetpointText("");
    view_.setUnitLabels(controller ? rec.unit : "");
    view_.setControlEnabled(ConsoleControl::SetpointEntry, controller);
    view_.setControlEnabled(ConsoleControl::SetpointButton, controller);
    view_.setControlEnabled(ConsoleControl::TotalReset, rec.functions & kFnTotalizer);
    view_.setControlModeItems(controlModeItems(8));

    applyGeneration(row);

    view_.setPageVisible(ConsolePage::CustomerSpecific, settings_.serviceMode);
    settings_.reloadProductionMode();
    view_.setPageVisible(ConsolePage::ProductionI, settings_.productionMode);

    if (isSeries4(rec.softwareVersion)) {
        tesra_->WriteValue(reg::kSlotSelector, "3", kWriteAddressed);
        std::string slot = tesra_->ReadValue(reg::kLutSelect);
        // A failed read is not written back as a selector value.
        if (slot != "Fehler") tesra_->WriteValue(reg::kSlotSelector, slot, kWriteAddressed);
    }

    if (front == ConsolePage::Signals || front == ConsolePage::Alarm) {
        if (alarmHook_) alarmHook_->deviceSelected(row, front);
    } else if (!click) {
        // The marks change only by the operator's click on a row.
    } else if (front == ConsolePage::Logger) {
        if (!(logHook_ && logHook_->running())) {
            if (!pollAll_)
                for (int r = 1; r <= list_.count(); ++r)
                    if (r != row) list_.setCell(r, kColLogMark, "");
            toggleMark(row, kColLogMark);
        }
    } else if (front == ConsolePage::Mixer) {
        if (!(mixerHook_ && mixerHook_->mixing())) {
            toggleMark(row, kColMixMark);
            if (mixerHook_) mixerHook_->marksChanged(row);
        }
    }

    view_.setPageVisible(ConsolePage::Logger, true);
    view_.setPageVisible(ConsolePage::Mixer, true);
    view_.setControlEnabled(ConsoleControl::ImportMenu, true);
    view_.setControlEnabled(ConsoleControl::ExportMenu, true);
    view_.setControlEnabled(ConsoleControl::OemMenu, true);
    view_.startTimer();
}

void Console::toggleMark(int row, int column) {
    list_.setCell(row, column, list_.marked(row, column) ? "" : " x");
}

void Console::applyGeneration(int row) {
    skelo& rec = list_.record(row);
    SoftwareGeneration gen = softwareGeneration(rec.softwareVersion);
    bool series4 = gen == SoftwareGeneration::Fourth;
    bool second = gen != SoftwareGeneration::First;

    // Start from the state of no generation, then show what this one has.
    for (ConsolePage p : {ConsolePage::Extras, ConsolePage::Filter, ConsolePage::Profibus,
                          ConsolePage::PressureControl})
        view_.setPageVisible(p, false);
    view_.setPageVisible(ConsolePage::Signals, second);
    view_.setPageVisible(ConsolePage::Alarm, second);
    if (gen == SoftwareGeneration::First)
        view_.setPageVisible(ConsolePage::CustomerSpecific, false);
    view_.setControlEnabled(ConsoleControl::GraphMenu, second);
    view_.setControlEnabled(ConsoleControl::CalibrationMenu,
                            gen == SoftwareGeneration::Third || series4);
    view_.setControlVisible(ConsoleControl::DataSetsMenu, !series4);
    view_.setControlVisible(ConsoleControl::DataSets4Menu, series4);
    view_.setControlVisible(ConsoleControl::UpdateMenu, series4);
    view_.setControlVisible(ConsoleControl::UpdateAllMenu, series4);
    view_.setControlVisible(ConsoleControl::UpdateSeparators, series4);
    view_.setControlVisible(ConsoleControl::UpdateNoFirmwareMenu, false);
    view_.setControlVisible(ConsoleControl::OemMenu, !series4);
    if (!series4) return;

    view_.setPageVisible(ConsolePage::Extras, true);
    view_.setPageVisible(ConsolePage::Filter, true);
    std::string fnText = tesra_->ReadValue(reg::kFunctionsSelected);
    uint32_t functions = static_cast<uint32_t>(valueAsInteger(fnText));
    // Only a good read replaces what the probe found; a failed one just keeps the pages hidden.
    if (fnText != "Fehler") rec.functions = functions;
    tesra_->ReadValue(reg::kControlMode);
    view_.setPageVisible(ConsolePage::Profibus, functions & kFnProfibus);
    if (hasPressureControl(rec.softwareVersion, functions)) {
        int mode = static_cast<int>(valueAsInteger(tesra_->ReadValue(reg::kControlMode)));
        view_.setPageVisible(ConsolePage::PressureControl, isPressureControlMode(mode));
        view_.setControlModeItems(controlModeItems(10));
    }
}

// ---------------------------------------------------------------- polling

void Console::TimerTimer() {
    view_.stopTimer();
    tick();
    view_.startTimer();
}

void Console::tick() {
    if (requestHook_) requestHook_->serveAtTickStart();
    if (restoring_) {
        restoreNextDevice();
        return;
    }
    if (scanning_) {
        if (ui_.progressStopRequested()) {
            // The progress window's "Stop": ends the scan as the scan button does.
            view_.setScanButtonDown(false);
            CheckBusClick(false);
            return;
        }
        Probe();
        if (!scanning_) saveStateOnly(); // the scan has just ended
        return;
    }
    if (!tesra_) return;
    if (hasPendingSetpoint_) {
        sendPendingSetpoint();
        return;
    }
    if (list_.count() == 0) return;

    int selected = list_.selectedRow();
    if (!pollAll_)
        for (int r = 1; r <= list_.count(); ++r)
            if (r != selected)
                for (int c : {kColFlow, kColTemperature, kColTotal})
                    list_.setCell(r, c, "");

    bool lineDue = logHook_ && logHook_->running() && logHook_->scheduleStep();
    bool markedPolled = false;

    int row = pollAll_ ? 1 : selected;
    int last = pollAll_ ? list_.count() : selected;
    while (row <= last && row <= list_.count()) {
        if (list_.marked(row, kColLogMark)) markedPolled = true;
        const bool kept = pollRow(row, lineDue);
        if (requestHook_) requestHook_->serveBetweenExchanges();
        if (kept) {
            ++row;
            continue;
        }
        // The row was removed; the same index now holds the next device.
        if (list_.count() == 0) {
            view_.setScanButtonDown(true);
            CheckBusClick(true);
            return;
        }
        if (!pollAll_) break;
        last = list_.count();
    }

    // The selected device left: the device now in its row is shown before anything is sent.
    if (reselect_) showDevice(list_.selectedRow());

    if (lineDue && !markedPolled) {
        std::string text = texts_.text("InfoNoLogDevice");
        if (!pollAll_ && list_.count() > 0) {
            // Only the selected device is polled: name it, so the operator sees which one.
            const int sel = list_.selectedRow();
            text += "\n" + fillArgs(msg("InfoNoLogPolled", "Abgefragt wird nur %1."),
                                    {fillArgs(msg("DeviceName", "Gerät %1 (Adresse %2)"),
                                              {list_.cell(sel, kColSerial),
                                               std::to_string(list_.record(sel).address)})});
        }
        ui_.messageBox(text, "GetKelo", MsgIcon::Information);
        logHook_->stopNoDevice();
    }

    selected = list_.selectedRow();
    if (selected > list_.count()) selected = list_.count();
    tesra_->Address = list_.record(selected).address;
    view_.setStatusText(msg("StatusRead", "Read Address") + " " + std::to_string(tesra_->Address));
    showConnectionState();

    if (!view_.flowGraphShown() && alarmHook_) alarmHook_->refresh(selected);
    tickDone_.set();
    if (mixerHook_ && mixerHook_->mixing()) mixerHook_->step();
    if (view_.frontPage() == ConsolePage::PressureControl) showPressureLive();
    if (requestHook_) requestHook_->tickDone();
}

void Console::sendPendingSetpoint() {
    float value = pendingSetpoint_;
    hasPendingSetpoint_ = false;
    pendingSetpoint_ = -1.0f;
    if (list_.count() == 0) return; // nobody to send it to
    int selected = list_.selectedRow();
    double range = textToDouble(list_.cell(selected, kColRange));
    // Compared in the setpoint's own precision, so exactly range x 1.001 passes.
    float limit = static_cast<float>(range * 1.001);
    if (value < 0 || value > limit) {
        ui_.messageBox(texts_.text("SetPointError"), texts_.text("NewSetPoint"), MsgIcon::Error);
        return;
    }
    tesra_->Address = list_.record(selected).address;
    tesra_->WriteValue(reg::kSetpoint, formatGeneral(value, 7), kWriteAddressed);
}

bool Console::pollRow(int row, bool lineDue) {
    skelo& rec = list_.record(row);
    tesra_->Address = rec.address;
    Measurement m = readMeasurement(*tesra_, rec.functions);
    if (requestHook_) requestHook_->rowPolled(row, m.result);
    if (m.result == kResultOk) {
        storeMeasurement(list_, row, m);
        if (m.hasSetpoint && row == list_.selectedRow() && !view_.setpointHasFocus())
            view_.setSetpointText(formatGeneral(m.setpoint, 7));
        if (lineDue && list_.marked(row, kColLogMark)) logHook_->writeLine(row);
        if (zoomHook_) zoomHook_->showFlow(row, m.flow, rec.unit);
        return true;
    }
    list_.setCell(row, kColFlow, pollErrorText(m.result));
    const std::string& temperature = list_.cell(row, kColTemperature);
    if (temperature.find("|||") != std::string::npos) {
        removeRow(row);
        return false;
    }
    list_.setCell(row, kColTemperature, temperature + "|");
    return true;
}

void Console::removeRow(int row) {
    if (row == list_.selectedRow()) reselect_ = true;
    list_.removeRow(row);
    if (currentRow_ > row) --currentRow_;
    if (currentRow_ > list_.count()) currentRow_ = list_.count();
    if (logHook_) logHook_->rowRemoved(row);
    if (mixerHook_) mixerHook_->rowRemoved(row);
    if (zoomHook_) zoomHook_->rowRemoved(row);
}

void Console::showPressureLive() {
    // Pressure and flow like every other device value (general format, 7 significant
    // digits); the valve load like the log's valve column ("0.##").
    auto general = [](const std::string& text) {
        double v = 0;
        return parseNumber(text, v) ? formatGeneral(v, 7) : text;
    };
    auto percent = [](const std::string& text) {
        double v = 0;
        return parseNumber(text, v) ? formatFixedMax(v, 2) : text;
    };
    PressureLiveValues v;
    v.pressure = general(tesra_->ReadValue(reg::kPressure));
    v.pressureUnit = tesra_->ReadValue(reg::kPressureUnitText);
    v.flow = general(tesra_->ReadValue(reg::kFlow));
    v.flowUnit = tesra_->ReadValue(reg::kSlotFlowUnit);
    v.valve = percent(tesra_->ReadValue(reg::kValve)) + "%";
    view_.showPressureLiveValues(v);
}

// ---------------------------------------------------------------- commands

void Console::SollOKBtnClick(const std::string& entryText) {
    double value = 0;
    if (!parseNumber(entryText, value)) {
        // Nothing is written for a text that is not a number ("", "abc", "5O").
        ui_.messageBox(texts_.text("SetPointError"), texts_.text("NewSetPoint"), MsgIcon::Error);
        return;
    }
    pendingSetpoint_ = static_cast<float>(value);
    hasPendingSetpoint_ = true;
}

void Console::SollNullClick() {
    view_.stopTimer();
    if (tesra_) {
        tesra_->ReadByte(); // a stray byte must not precede the broadcast
        comm_.clock().sleepMs(100);
        tesra_->WriteValue(reg::kSetpoint, "0", kWriteBroadcast);
    }
    view_.startTimer();
}

void Console::CountRstClick() {
    view_.stopTimer();
    if (tesra_ && list_.count() > 0) {
        tesra_->Address = list_.record(list_.selectedRow()).address;
        tesra_->WriteValue(reg::kTotalizer, "0", kWriteAddressed);
    }
    view_.startTimer();
}

void Console::AlarmResetClick() {
    if (!tesra_ || list_.count() == 0) return;
    tesra_->Address = list_.record(list_.selectedRow()).address;
    tesra_->WriteValue(reg::kAlarmReset, "65535", kWriteAddressed);
}

void Console::SoftresetClick() {
    if (!tesra_) return;
    view_.stopTimer();
    const MsgAnswer answer = ui_.messageBox(
        msg("ConfirmSoftreset", "Alle Geräte am Bus starten neu, auch Geräte, die nicht in der "
                                "Liste stehen. Regelung und Messung setzen dabei kurz aus.\n"
                                "Fortfahren?"),
        textOr(texts_, "SoftresetMnu", "Softreset"), MsgIcon::Warning, MsgButtons::YesNo);
    if (answer == MsgAnswer::Yes) tesra_->WriteValue(reg::kSoftReset, "1", kWriteBroadcast);
    view_.startTimer();
}

void Console::showPressurePageFor(int modeCode) {
    if (list_.count() == 0) return;
    const skelo& rec = list_.record(list_.selectedRow());
    view_.setPageVisible(ConsolePage::PressureControl,
                         hasPressureControl(rec.softwareVersion, rec.functions) &&
                             isPressureControlMode(modeCode));
}

} // namespace getkelo
