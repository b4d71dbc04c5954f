#include "base/clock.h"
#include "base/number_format.h"
#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/cli_console.h"
#include "console/device_probe.h"

#include <cmath>
#include <iostream>

namespace getkelo::cli {

namespace {

struct PollArgs {
    bool all = false;
    long long count = 1;
    int to = 247;
    std::string interval = "1";
};

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

int runPoll(CliContext& context, const PollArgs& args) {
    const bool all = args.all;
    const long long count = args.count;
    const int to = args.to;
    const double interval = secondsOf(args.interval);
    if (context.options.console) return consolePoll(context, all, to, count, interval);
    if (!context.open()) return kExitFailure;
    TTesra& tesra = context.tesra();
    Clock& clock = context.comm().clock();

    // The register count of a poll depends on the device's functions: identify first.
    std::vector<Polled> devices;
    if (all) {
        int pollLimit = context.comm().RetryLimit;
        context.comm().RetryLimit = 15;
        context.probeRange(1, to, [&](const DeviceIdentity& d) {
            devices.push_back({d.address, d.functions});
        });
        context.comm().RetryLimit = pollLimit;
        if (devices.empty()) {
            printError("poll: no device answers at addresses 1.." + std::to_string(to) + " on " +
                       context.linkText());
            return kExitFailure;
        }
    } else {
        context.beginProbing();
        for (int a : context.options.addresses) {
            if (context.stopSignal()) break;
            tesra.Address = static_cast<uint8_t>(a);
            auto id = probeIdentity(tesra, false);
            devices.push_back({a, id ? id->functions : 0u});
        }
    }

    bool anyFailed = false;
    int64_t roundStart = clock.nowMs();
    for (long long round = 0; (count == 0 || round < count) && !context.stopSignal(); ++round) {
        if (round > 0) {
            int64_t due = roundStart + static_cast<int64_t>(std::llround(interval * 1000));
            int64_t wait = due - clock.nowMs();
            if (wait > 0) context.sleepMs(wait);
            roundStart = due;
        }
        for (const Polled& d : devices) {
            if (context.stopSignal()) break;
            tesra.Address = static_cast<uint8_t>(d.address);
            Measurement m = readMeasurement(tesra, d.functions);
            anyFailed |= m.result != kResultOk;
            std::cout << line(d.address, m) << std::endl;
        }
    }
    // "Until stopped" ends normally by a signal; a counted run stopped early does not.
    if (context.stopSignal() && count != 0) return 128 + context.stopSignal();
    return anyFailed ? kExitFailure : kExitOk;
}

} // namespace

void addPollCommand(CliApp& app) {
    auto args = std::make_shared<PollArgs>();
    CLI::App* poll = app.addCommand("poll",
                                    "read the measured values of the --address devices N\n"
                                    "times, a round every S seconds; one line per device\n"
                                    "and round: address;flow;temperature;totalizer;setpoint;valve\n"
                                    "(a failed read shows Timeout!, Too short! or CRC\n"
                                    "error! as the flow)",
                                    [args](CliContext& c) { return runPoll(c, *args); });
    app.allowConsole("poll");
    poll->add_option("--count", args->count, "rounds (default 1, 0 = until stopped)")
        ->option_text("N")
        ->transform(integerIn(0, 1000000000));
    poll->add_option("--interval", args->interval, "seconds from round to round (default 1)")
        ->option_text("S")
        ->check(secondsUpTo(86400));
    poll->add_flag("--all", args->all, "scan addresses 1..B first and poll what answers");
    poll->add_option("--to", args->to, "last address of --all (default 247)")
        ->option_text("B")
        ->transform(integerIn(1, 247));
}

} // namespace getkelo::cli
