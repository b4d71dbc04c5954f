#include "base/clock.h"
#include "base/number_format.h"
#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/cli_terminal_ui.h"
#include "comm/register_catalogue.h"
#include "console/device_list.h"
#include "console/device_probe.h"
#include "console/logging/data_logger.h"
#include "ui/ui_adapter.h"

#include <iostream>
#include <sstream>

namespace getkelo::cli {

namespace {

struct LogArgs {
    std::string interval = "0";
    std::string dir;
    std::string points;
    long long lines = 0;
    std::string duration;
};

constexpr int kTimerMs = 100; // the console's polling timer

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
            error = "takes set, total, temp and valve, not \"" + item + "\"";
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

int runLog(CliContext& context, const LogArgs& args) {
    LogSettings settings;
    settings.stored.dZeitEdit = args.interval;
    std::string error;
    parsePoints(args.points, settings.stored, error);
    if (args.lines > 0) {
        settings.stored.logGroup = static_cast<int>(LogMode::LinesPerFile);
        settings.stored.zeilenEdit = std::to_string(args.lines);
    }
    if (!args.duration.empty()) {
        parseDuration(args.duration, settings.stored.dauerBox);
        settings.stored.logGroup = static_cast<int>(LogMode::Duration);
    }
    const std::string& dir = args.dir;

    if (!context.open()) return kExitFailure;
    TTesra& tesra = context.tesra();
    Clock& clock = context.comm().clock();

    // The log header needs each device's serial number and units: identify them as the
    // console's probe does, and mark every device found for logging.
    context.beginProbing();
    DeviceList list;
    for (int a : context.options.addresses) {
        if (context.stopSignal()) break;
        tesra.Address = static_cast<uint8_t>(a);
        auto id = probeIdentity(tesra);
        if (!id) {
            printError("log: no device answers at address " + std::to_string(a) + " on " +
                       context.linkText());
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

    TerminalUi ui("log", 0); // the log lines own the terminal
    DataLogger logger(list, clock, ui);
    logger.settings() = settings;
    logger.setWorkDir([&dir] { return dir; });
    logger.recordClick();
    // Only files that exist are named; one that cannot be made was reported above.
    for (int row = 1; row <= list.count(); ++row) {
        const std::string path = logger.filePath(row);
        if (!path.empty()) std::cout << list.cell(row, kColAddress) << ";" << path << std::endl;
    }

    while (!context.stopSignal() && logger.running()) {
        if (logger.openFileCount() == 0) {
            printError("log: no log file can be written; stopped");
            break;
        }
        const bool due = logger.scheduleStep();
        for (int row = 1; row <= list.count() && !context.stopSignal(); ++row) {
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
        context.sleepMs(kTimerMs);
    }
    logger.stopClick(); // every file synced and closed
    // The devices are locked again by CliApp when the command returns.
    return logger.anyFileFailed() ? kExitFailure : kExitOk;
}

} // namespace

void addLogCommand(CliApp& app) {
    auto args = std::make_shared<LogArgs>();
    CLI::App* log = app.addCommand("log",
                                   "log the measured values of the --address devices,\n"
                                   "one file per device in D; runs until SIGINT or\n"
                                   "SIGTERM, which close every file complete",
                                   [args](CliContext& c) { return runLog(c, *args); });
    log->add_option("--interval", args->interval, "a line every S seconds (default 0 = 0.5 s)")
        ->option_text("S")
        ->check(secondsUpTo(86400));
    log->add_option("--dir", args->dir,
                    "folder of the files (default: the current\nfolder, made when missing)")
        ->option_text("D");
    log->add_option("--points", args->points, "data points beside the flow")
        ->option_text("set,total,temp,valve")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                LoggerSettings s;
                std::string error;
                return parsePoints(text, s, error) ? "" : error;
            },
            ""));
    auto* lines = log->add_option("--lines", args->lines, "new files after N lines")
                      ->option_text("N")
                      ->transform(integerIn(1, 2'000'000'000));
    auto* duration = log->add_option("--duration", args->duration, "new files after the duration")
                         ->option_text("1m|1h|1d|7d")
                         ->check(CLI::IsMember({"1m", "1h", "1d", "7d"}));
    lines->excludes(duration);
    log->footer("Exit status: 0 every file closed complete (the normal end by SIGINT or SIGTERM),\n"
                "1 no device answers, or a log file could not be created or written (said on\n"
                "stderr; the run ends when no file is left to write), 2 bad command line.");
}

} // namespace getkelo::cli
