#include "cli/cli_commands.h"
#include "console/device_probe.h"

#include <iostream>

namespace getkelo::cli {

std::string scanUsage() {
    return "  scan [--from A] [--to B]      find the devices at addresses A..B (default 1..247);\n"
           "                                one tab-separated line per device: address, serial\n"
           "                                number, type code, gas, range, unit, hardware and\n"
           "                                software version\n";
}

int runScan(CliContext& context, const std::vector<std::string>& argv) {
    CommandArgs args(argv);
    long long from = 1, to = 247;
    args.intValue("--from", 1, 247, from);
    args.intValue("--to", 1, 247, to);
    if (!args.finish(0, 0)) {
        printError("scan: " + args.error());
        return kExitUsage;
    }
    if (from > to) {
        printError("scan: --from " + std::to_string(from) + " is above --to " + std::to_string(to));
        return kExitUsage;
    }
    if (!context.open()) return kExitFailure;
    // An empty address costs about 0.17 s, as in the console's scan.
    context.comm().RetryLimit = 15;
    probeRange(context.tesra(), static_cast<int>(from), static_cast<int>(to),
               [](const DeviceIdentity& d) {
                   std::cout << int(d.address) << '\t' << d.serial << '\t' << d.typeCode << '\t'
                             << d.gas << '\t' << d.range << '\t' << d.unit << '\t'
                             << d.hardwareVersion << '\t' << d.softwareVersion << std::endl;
               });
    return kExitOk;
}

} // namespace getkelo::cli
