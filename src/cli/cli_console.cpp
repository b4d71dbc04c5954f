#include "cli/cli_console.h"

#include "automation/automation_client.h"
#include "base/clock.h"
#include "cli/cli_context.h"

#include <cmath>
#include <iostream>

namespace getkelo::cli {

namespace {

// The connection, or nullptr after the one-line error.
std::unique_ptr<AutomationClient> connectConsole(CliContext& context) {
    auto client = std::make_unique<AutomationClient>();
    if (!client->connect(context.socketPath())) {
        printError(client->error());
        return nullptr;
    }
    return client;
}

// The answer of one request; null after printing why there was none.
Json ask(AutomationClient& client, Json request) {
    Json answer = client.request(std::move(request));
    if (answer.is_null()) printError(client.error());
    return answer;
}

std::string errorText(const Json& answer) {
    return answer["error"].value("text", std::string("refused by the console"));
}

// Why a request failed, in the words of the command on the bus itself.
std::string busFailure(const Json& answer, bool write) {
    const Json& error = answer["error"];
    if (error.value("code", std::string()) != automation_error::kBus) return errorText(answer);
    const uint8_t exception = error.value("exception", 0);
    if (write && !exception) return "no valid answer";
    return transactionFailure(error.value("result", kResultNoAnswer), exception);
}

std::string onConsole(CliContext& context) {
    return " on the console at " + context.socketPath();
}

// One poll line as the direct poll prints it: address;flow;temperature;totalizer;setpoint;valve.
std::string pollLine(int address, const Json* device, bool& failed) {
    const std::string a = std::to_string(address) + ";";
    if (!device) {
        failed = true;
        return a + "not listed;;;;";
    }
    if ((*device)["time_ms"].is_null()) {
        failed = true;
        return a + "not polled;;;;";
    }
    if (device->contains("error")) {
        failed = true;
        return a + (*device)["error"].get<std::string>() + ";;;;";
    }
    auto text = [device](const char* key) { return device->value(key, std::string()); };
    std::string s = a + text("flow") + ";" + text("temperature") + ";" + text("total") + ";";
    return s + text("setpoint") + ";" + text("valve");
}

} // namespace

int consoleRead(CliContext& context, const std::string& descriptor) {
    auto client = connectConsole(context);
    if (!client) return kExitFailure;
    const int address = context.address();
    Json answer = ask(*client, {{"op", "read"}, {"address", address}, {"register", descriptor}});
    if (answer.value("ok", false)) {
        std::cout << answer["result"]["value"].get<std::string>() << '\n';
        return kExitOk;
    }
    std::cout << "Fehler\n";
    if (!answer.is_null())
        printError("read from address " + std::to_string(address) + onConsole(context) + ": " +
                   busFailure(answer, false));
    return kExitFailure;
}

int consoleWrite(CliContext& context, const std::string& descriptor, const std::string& text,
                 bool broadcast, const std::string& accessCode) {
    auto client = connectConsole(context);
    if (!client) return kExitFailure;
    Json request{{"op", "write"}, {"register", descriptor}, {"value", text}};
    if (broadcast)
        request["broadcast"] = true;
    else
        request["address"] = context.address();
    if (!accessCode.empty()) request["access_code"] = accessCode;
    Json answer = ask(*client, std::move(request));
    if (answer.value("ok", false)) return kExitOk;
    if (!answer.is_null())
        printError("write to address " + std::to_string(context.address()) + onConsole(context) +
                   ": " + busFailure(answer, true));
    return kExitFailure;
}

int consolePoll(CliContext& context, bool all, int to, long long count, double intervalS) {
    auto client = connectConsole(context);
    if (!client) return kExitFailure;
    std::vector<int> addresses;
    if (all) {
        Json answer = ask(*client, {{"op", "list"}});
        if (!answer.value("ok", false)) {
            if (!answer.is_null()) printError("poll: " + errorText(answer));
            return kExitFailure;
        }
        for (const Json& d : answer["result"]["devices"])
            if (d["address"].get<int>() <= to) addresses.push_back(d["address"].get<int>());
        if (addresses.empty()) {
            printError("poll: the console lists no device at addresses 1.." + std::to_string(to));
            return kExitFailure;
        }
    } else {
        addresses = context.options.addresses;
        // Devices the console does not list cannot be polled through it.
        Json answer = ask(*client, {{"op", "values"}, {"addresses", addresses}});
        if (!answer.value("ok", false)) {
            if (!answer.is_null()) printError("poll: " + errorText(answer));
            return kExitFailure;
        }
    }

    Clock& clock = systemClock();
    bool anyFailed = false;
    int64_t roundStart = clock.nowMs();
    for (long long round = 0; count == 0 || round < count; ++round) {
        if (round > 0) {
            int64_t due = roundStart + static_cast<int64_t>(std::llround(intervalS * 1000));
            int64_t wait = due - clock.nowMs();
            if (wait > 0) clock.sleepMs(static_cast<int>(wait));
            roundStart = due;
        }
        Json answer = ask(*client, {{"op", "values"}});
        if (!answer.value("ok", false)) {
            if (!answer.is_null()) printError("poll: " + errorText(answer));
            return kExitFailure;
        }
        const Json& devices = answer["result"]["devices"];
        for (int a : addresses) {
            const Json* device = nullptr;
            for (const Json& d : devices)
                if (d["address"].get<int>() == a) device = &d;
            std::cout << pollLine(a, device, anyFailed) << std::endl;
        }
    }
    return anyFailed ? kExitFailure : kExitOk;
}

} // namespace getkelo::cli
