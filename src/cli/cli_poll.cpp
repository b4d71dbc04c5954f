#include "base/clock.h"
#include "base/number_format.h"
#include "cli/cli_commands.h"
#include "console/device_probe.h"

#include <cmath>
#include <iostream>

namespace getkelo::cli {

std::string pollUsage() {
    return "  poll [--count N] [--interval S]\n"
           "                                read the measured values of the --address devices N\n"
           "                                times (default 1, 0 = until stopped), a round every\n"
           "                                S seconds (default 1); one line per device and round:\n"
           "                                address;flow;temperature;totalizer;setpoint;valve\n"
           "                                (a failed read shows Timeout!, Too short! or CRC\n"
           "                                error! as the flow)\n"
           "  poll --all [--to B] [...]     scan addresses 1..B first and poll what answers\n";
}

namespace {

struct Polled {
    int address;
    uint32_t functions;
};

std::string line(int address, const Measurement& m) {
    std::string s = std::to_string(address) + ";";
    if (m.result != kResultOk) return s + pollErrorText(m.result) + ";;;;";
    s += m.flow + ";" + m.temperature + ";" + (m.hasTotal ? m.total : "") + ";";
    if (m.hasSetpoint)
        s += formatGeneral(m.setpoint, 7) + ";" + formatFixedMax(m.valve, 2);
    else
        s += ";";
    return s;
}

} // namespace

int runPoll(CliContext& context, const std::vector<std::string>& argv) {
    CommandArgs args(argv);
    bool all = args.flag("--all");
    long long count = 1, to = 247;
    std::string intervalText = "1";
    args.intValue("--count", 0, 1000000000, count);
    args.intValue("--to", 1, 247, to);
    args.value("--interval", intervalText);
    if (!args.finish(0, 0)) {
        printError("poll: " + args.error());
        return kExitUsage;
    }
    double interval = 0;
    if (!parseNumber(intervalText, interval) || interval < 0 || interval > 86400) {
        printError("poll: --interval needs seconds from 0 to 86400, not \"" + intervalText + "\"");
        return kExitUsage;
    }
    if (!context.open()) return kExitFailure;
    TTesra& tesra = context.tesra();
    Clock& clock = context.comm().clock();

    // The register count of a poll depends on the device's functions: identify first.
    std::vector<Polled> devices;
    if (all) {
        int pollLimit = context.comm().RetryLimit;
        context.comm().RetryLimit = 15;
        probeRange(tesra, 1, static_cast<int>(to), [&](const DeviceIdentity& d) {
            devices.push_back({d.address, d.functions});
        });
        context.comm().RetryLimit = pollLimit;
        if (devices.empty()) {
            printError("poll: no device answers at addresses 1.." + std::to_string(to));
            return kExitFailure;
        }
    } else {
        for (int a : context.options.addresses) {
            tesra.Address = static_cast<uint8_t>(a);
            auto id = probeIdentity(tesra, false);
            devices.push_back({a, id ? id->functions : 0u});
        }
    }

    bool anyFailed = false;
    int64_t roundStart = clock.nowMs();
    for (long long round = 0; count == 0 || round < count; ++round) {
        if (round > 0) {
            int64_t due = roundStart + static_cast<int64_t>(std::llround(interval * 1000));
            int64_t wait = due - clock.nowMs();
            if (wait > 0) clock.sleepMs(static_cast<int>(wait));
            roundStart = due;
        }
        for (const Polled& d : devices) {
            tesra.Address = static_cast<uint8_t>(d.address);
            Measurement m = readMeasurement(tesra, d.functions);
            anyFailed |= m.result != kResultOk;
            std::cout << line(d.address, m) << std::endl;
        }
    }
    return anyFailed ? kExitFailure : kExitOk;
}

} // namespace getkelo::cli
