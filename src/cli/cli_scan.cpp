#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/printable_text.h"
#include "cli/cli_terminal_ui.h"
#include "console/device_probe.h"

#include <iostream>

namespace getkelo::cli {

namespace {

struct ScanArgs {
    int from = 1;
    int to = 247;
};

int runScan(CliContext& context, const ScanArgs& args) {
    const int from = args.from, to = args.to;
    if (from > to) {
        printError("scan: --from " + std::to_string(from) + " is above --to " + std::to_string(to));
        return kExitUsage;
    }
    if (!context.open()) return kExitFailure;
    // An empty address costs about 0.17 s, as in the console's scan.
    context.comm().RetryLimit = 15;
    // Device texts may hold any byte: shown escaped, one device is always one line.
    int found = 0;
    // A full bus takes about 40 s: someone watching a terminal sees where the scan is (the
    // progress line shows only when stderr is a terminal). It is taken away before a device
    // line and at the end, so the terminal shows the devices alone.
    TerminalUi progress("scan");
    progress.progressStart("scan", "", to - from + 1);
    auto probing = [&](int address) {
        progress.progressLabel("scan: address " + std::to_string(address) + " (" +
                               std::to_string(from) + ".." + std::to_string(to) + "), " +
                               std::to_string(found) + (found == 1 ? " device" : " devices") +
                               " found");
        progress.progressPosition(address - from);
    };
    context.probeRange(
        from, to,
        [&found, &progress](const DeviceIdentity& d) {
            ++found;
            progress.clearLine();
            std::cout << int(d.address);
            for (const std::string* text : {&d.serial, &d.typeCode, &d.gas, &d.range, &d.unit,
                                            &d.hardwareVersion, &d.softwareVersion})
                std::cout << '\t' << printableText(*text);
            std::cout << std::endl;
        },
        probing);
    progress.clearLine();
    if (found == 0 && !context.stopSignal())
        printError("scan: no device found at addresses " + std::to_string(from) + ".." +
                   std::to_string(to) + " on " + context.linkText());
    // Stopped before the last address: the shell's code of a run ended by that signal.
    return context.stopSignal() ? 128 + context.stopSignal() : kExitOk;
}

} // namespace

void addScanCommand(CliApp& app) {
    auto args = std::make_shared<ScanArgs>();
    CLI::App* scan = app.addCommand("scan",
                                    "find the devices at addresses A..B (default 1..247);\n"
                                    "one tab-separated line per device: address, serial\n"
                                    "number, type code, gas, range, unit, hardware and\n"
                                    "software version",
                                    [args](CliContext& c) { return runScan(c, *args); });
    scan->add_option("--from", args->from, "first address (default 1)")
        ->option_text("A")
        ->transform(integerIn(1, 247));
    scan->add_option("--to", args->to, "last address (default 247)")
        ->option_text("B")
        ->transform(integerIn(1, 247));
}

} // namespace getkelo::cli
