#include "base/clock.h"
#include "base/number_format.h"
#include "cli/cli_commands.h"
#include "comm/register_catalogue.h"
#include "console/device_list.h"
#include "console/device_probe.h"
#include "console/logging/data_logger.h"
#include "ui/ui_adapter.h"

#include <csignal>
#include <iostream>
#include <sstream>

namespace getkelo::cli {

std::string logUsage() {
    return "  log [--interval S] [--dir D] [--points set,total,temp,valve]\n"
           "      [--lines N | --duration 1m|1h|1d|7d]\n"
           "                                log the measured values of the --address devices,\n"
           "                                one file per device in D (default: the current\n"
           "                                folder, made when missing), a line every S seconds\n"
           "                                (default 0 = 0.5 s); new files after N lines or after\n"
           "                                the duration; runs until SIGINT or SIGTERM, which\n"
           "                                close every file complete\n";
}

namespace {

constexpr int kTimerMs = 100; // the console's polling timer

volatile std::sig_atomic_t stopRequested = 0;
extern "C" void requestStop(int) {
    stopRequested = 1;
}

// The logger's messages go to standard error; there is nobody to answer questions.
class TerminalUi final : public UiAdapter {
  public:
    MsgAnswer messageBox(const std::string& text, const std::string&, MsgIcon,
                         MsgButtons) override {
        std::string oneLine = text;
        for (char& c : oneLine)
            if (c == '\n') c = ' ';
        printError("log: " + oneLine);
        return MsgAnswer::Ok;
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void beep() override {}
    void progressStart(const std::string&, const std::string&, int) override {}
    void progressLabel(const std::string&) override {}
    void progressPosition(int) override {}
    void progressMaximum(int) override {}
    void progressFinish(const std::string&) override {}
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFile(const std::string&, const std::string&,
                                          const std::string&, bool) override {
        return std::nullopt;
    }
    bool printDocument(const std::string&, const std::string&) override { return false; }
    bool openHelp(const std::string&) override { return false; }
};

bool parsePoints(const std::string& text, LoggerSettings& s, std::string& error) {
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (item == "set")
            s.sollCheck = true;
        else if (item == "total")
            s.totalCheck = true;
        else if (item == "temp")
            s.tempCheck = true;
        else if (item == "valve")
            s.ventilCheck = true;
        else {
            error = "--points takes set, total, temp and valve, not \"" + item + "\"";
            return false;
        }
    }
    return true;
}

bool parseDuration(const std::string& text, int& index) {
    const char* names[] = {"1m", "1h", "1d", "7d"};
    for (int i = 0; i < 4; ++i)
        if (text == names[i]) {
            index = i;
            return true;
        }
    return false;
}

// Installs the stop handlers for the run and puts the old ones back after it.
class StopSignals {
  public:
    StopSignals() {
        stopRequested = 0;
        struct sigaction sa {};
        sa.sa_handler = requestStop;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGINT, &sa, &oldInt_);
        sigaction(SIGTERM, &sa, &oldTerm_);
    }
    ~StopSignals() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }

  private:
    struct sigaction oldInt_ {
    }, oldTerm_{};
};

} // namespace

int runLog(CliContext& context, const std::vector<std::string>& argv) {
    CommandArgs args(argv);
    LogSettings settings;
    std::string dir, points, duration;
    long long lines = 0;
    args.value("--interval", settings.stored.dZeitEdit);
    args.value("--dir", dir);
    const bool hasPoints = args.value("--points", points);
    const bool hasLines = args.intValue("--lines", 1, 2'000'000'000, lines);
    const bool hasDuration = args.value("--duration", duration);
    if (!args.finish(0, 0)) {
        printError("log: " + args.error());
        return kExitUsage;
    }
    double interval = 0;
    if (!parseNumber(settings.stored.dZeitEdit, interval) || interval < 0 || interval > 86400) {
        printError("log: --interval needs seconds from 0 to 86400, not \"" +
                   settings.stored.dZeitEdit + "\"");
        return kExitUsage;
    }
    std::string error;
    if (hasPoints && !parsePoints(points, settings.stored, error)) {
        printError("log: " + error);
        return kExitUsage;
    }
    if (hasLines && hasDuration) {
        printError("log: --lines and --duration exclude each other");
        return kExitUsage;
    }
    if (hasLines) {
        settings.stored.logGroup = static_cast<int>(LogMode::LinesPerFile);
        settings.stored.zeilenEdit = std::to_string(lines);
    }
    if (hasDuration) {
        if (!parseDuration(duration, settings.stored.dauerBox)) {
            printError("log: --duration takes 1m, 1h, 1d or 7d, not \"" + duration + "\"");
            return kExitUsage;
        }
        settings.stored.logGroup = static_cast<int>(LogMode::Duration);
    }

    if (!context.open()) return kExitFailure;
    TTesra& tesra = context.tesra();
    Clock& clock = context.comm().clock();

    // The log header needs each device's serial number and units: identify them as the
    // console's probe does, and mark every device found for logging.
    DeviceList list;
    for (int a : context.options.addresses) {
        tesra.Address = static_cast<uint8_t>(a);
        auto id = probeIdentity(tesra);
        if (!id) {
            printError("log: no device answers at address " + std::to_string(a));
            continue;
        }
        int row = list.appendRow();
        if (row == 0) break;
        list.setCell(row, kColAddress, std::to_string(a));
        list.setCell(row, kColSerial, id->serial);
        list.setCell(row, kColUnit, id->unit);
        list.setCell(row, kColTotalUnit, id->totalUnit);
        list.setCell(row, kColLogMark, " x");
        skelo& rec = list.record(row);
        rec.address = static_cast<uint8_t>(a);
        rec.functions = id->functions;
        rec.unit = id->unit;
    }
    if (list.count() == 0) return kExitFailure;

    TerminalUi ui;
    DataLogger logger(list, clock, ui);
    logger.settings() = settings;
    logger.setWorkDir([&dir] { return dir; });
    StopSignals signals;
    logger.recordClick();
    for (int row = 1; row <= list.count(); ++row) {
        const std::string path = logger.filePath(row);
        if (!path.empty()) std::cout << list.cell(row, kColAddress) << ";" << path << std::endl;
    }

    while (!stopRequested && logger.running()) {
        const bool due = logger.scheduleStep();
        for (int row = 1; row <= list.count() && !stopRequested; ++row) {
            skelo& rec = list.record(row);
            tesra.Address = rec.address;
            Measurement m = readMeasurement(tesra, rec.functions);
            if (m.result != kResultOk) {
                list.setCell(row, kColFlow, pollErrorText(m.result));
                continue;
            }
            storeMeasurement(list, row, m);
            if (due) logger.writeLine(row);
        }
        if (!stopRequested) clock.sleepMs(kTimerMs);
    }
    logger.stopClick(); // every file synced and closed

    // The probe unlocked the devices; lock them again.
    for (int row = 1; row <= list.count(); ++row) {
        tesra.Address = list.record(row).address;
        tesra.WriteValue(reg::kAccessCode, "0", kWriteAddressed);
    }
    return kExitOk;
}

} // namespace getkelo::cli
