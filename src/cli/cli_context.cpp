#include "cli/cli_context.h"

#include "automation/socket_path.h"
#include "base/clock.h"
#include "base/ini_file.h"
#include "base/number_format.h"
#include "cli/stop_signals.h"
#include "comm/bus_decoder.h"
#include "comm/register_catalogue.h"
#include "console/console_settings.h"
#include "console/device_probe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>

namespace getkelo::cli {

void printError(const std::string& message) {
    std::cerr << "getkelo-cli: " << message << '\n';
}

std::string transactionFailure(int result, uint8_t exception) {
    if (exception != 0) {
        char code[8];
        std::snprintf(code, sizeof code, "%02X", exception);
        std::string text = std::string("refused by the device: exception ") + code;
        const std::string meaning = exceptionName(exception);
        if (!meaning.empty()) text += ", " + meaning;
        return text;
    }
    switch (result) {
    case kResultNoAnswer:
        return "no answer";
    case kResultShort:
        return "incomplete answer";
    case kResultBadAnswer:
        return "bad answer (CRC, slave or function)";
    default:
        return "failed";
    }
}

namespace {

// The transport's own reason for a failed open: the last "(...)" of the open error when there
// is one (the text of the console's message box stands before it), else the text after the
// link's name.
std::string openFailureReason(const std::string& error) {
    if (!error.empty() && error.back() == ')') {
        int depth = 0;
        for (size_t i = error.size(); i-- > 0;) {
            if (error[i] == ')') ++depth;
            if (error[i] == '(' && --depth == 0) return error.substr(i + 1, error.size() - i - 2);
        }
    }
    if (error.rfind("TCP ", 0) == 0 && error.find(": ") != std::string::npos)
        return error.substr(error.find(": ") + 2);
    return error;
}

} // namespace

std::string CliContext::iniPath() const {
    std::string dir = options.configDir;
    if (dir.empty()) {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        const char* home = std::getenv("HOME");
        if (xdg && *xdg)
            dir = std::string(xdg) + "/getkelo";
        else if (home && *home)
            dir = std::string(home) + "/.config/getkelo";
        else
            return "";
    }
    return dir + "/GetKelo.ini";
}

std::string CliContext::linkText() const {
    switch (options.link) {
    case CliOptions::Link::Tcp:
        return "TCP " + options.tcpHost + ":" + std::to_string(options.tcpPort);
    case CliOptions::Link::Com:
        return "COM" + std::to_string(options.comNumber) +
               (comm_ ? " (" + comm_->ComPortPath(options.comNumber) + ")" : "");
    case CliOptions::Link::Path:
        return options.portPath;
    case CliOptions::Link::Settings:
        break;
    }
    return storedLink_.empty() ? "the connection of " + iniPath() : storedLink_;
}

CliContext::CliContext() = default;
CliContext::~CliContext() = default;

void CliContext::beginProbing() {
    if (!signals_) signals_ = std::make_unique<StopSignals>();
}

int CliContext::stopSignal() const {
    return signals_ ? StopSignals::received() : 0;
}

void CliContext::probeRange(int from, int to,
                            const std::function<void(const DeviceIdentity&)>& found,
                            const std::function<void(int address)>& probing) {
    beginProbing();
    for (int a = from; a <= to && !stopSignal(); ++a) {
        if (probing) probing(a);
        tesra_->Address = static_cast<uint8_t>(a);
        if (auto id = probeIdentity(*tesra_)) found(*id);
    }
}

void CliContext::sleepMs(int64_t ms) {
    // In short steps: a sleep goes on after a signal handler returns.
    constexpr int64_t kStepMs = 100;
    Clock& clock = comm_->clock();
    const int64_t until = clock.nowMs() + ms;
    for (int64_t left = ms; left > 0 && !stopSignal(); left = until - clock.nowMs())
        clock.sleepMs(static_cast<int>(std::min(left, kStepMs)));
}

void CliContext::relock() {
    if (signals_ && tesra_) tesra_->WriteValue(reg::kAccessCode, "0", kWriteBroadcast);
    signals_.reset();
}

void CliContext::useClock(Clock& clock) {
    if (!comm_) comm_ = std::make_unique<TComm>(clock);
}

std::string CliContext::socketPath() const {
    if (!options.socketPath.empty()) return options.socketPath;
    const std::string ini = iniPath();
    return automationSocketPath(ini.empty() ? "." : ini.substr(0, ini.rfind('/')));
}

bool CliContext::open() {
    if (tesra_) return true;
    useClock(systemClock());
    comm_->InitSettings(iniPath());
    if (options.trace) {
        trace_ = std::make_unique<BusTrace>(std::cerr);
        comm_->setBusObserver(trace_.get());
    }
    TConnectionSettings settings;
    switch (options.link) {
    case CliOptions::Link::Settings: {
        // A number the channel cannot take would be cut to another port.
        if (const std::string bad =
                ConsoleSettings::connectionRangeError(IniFile(iniPath()), "Tesra");
            !bad.empty()) {
            printError("cannot open the connection of " + iniPath() + ": " + bad);
            return false;
        }
        settings = comm_->ReadConnectionSettings("Tesra");
        // Said in every message: without a bus option the run talks to what the file names.
        const std::string address(settings.Address,
                                  ::strnlen(settings.Address, sizeof settings.Address));
        storedLink_ = address.find("COM") != std::string::npos
                          ? "COM" + std::to_string(settings.Port) + " (" +
                                comm_->ComPortPath(settings.Port) + ")"
                          : "TCP " + address + ":" + std::to_string(settings.Port);
        storedLink_ += std::filesystem::exists(iniPath()) ? ", the connection of " + iniPath()
                                                          : ", the default without " + iniPath();
        break;
    }
    case CliOptions::Link::Tcp:
        std::snprintf(settings.Address, sizeof settings.Address, "%s", options.tcpHost.c_str());
        settings.Port = options.tcpPort;
        break;
    case CliOptions::Link::Com:
        settings.Port = static_cast<uint16_t>(options.comNumber);
        break;
    case CliOptions::Link::Path:
        settings.Port = 1;
        comm_->SetComPortPath(1, options.portPath);
        break;
    }
    comm_->RetryLimit = options.retryLimit;
    settings_ = settings;
    if (reopenConnection()) return true;
    printError(
        "cannot open " + linkText() +
        (comm_->LastOpenError.empty() ? "" : ": " + openFailureReason(comm_->LastOpenError)));
    return false;
}

bool CliContext::reopenConnection() {
    tesra_ = std::make_unique<TTesra>(*comm_, settings_);
    tesra_->DelayMs = static_cast<uint8_t>(options.delayMs);
    tesra_->Address = static_cast<uint8_t>(address());
    return tesra_->Handle > 0;
}

TChannel CliContext::openUpdateChannel() {
    return comm_->OpenUpdateChannel(settings_);
}

bool parseIntArg(const std::string& text, long long min, long long max, long long& out) {
    long long v;
    if (text.empty() || text.find_first_of(" \t") != std::string::npos) return false;
    if (!parseInteger(text, v) || v < min || v > max) return false;
    out = v;
    return true;
}

bool parseAddressList(const std::string& text, std::vector<int>& out, std::string& error, int min,
                      int max) {
    std::vector<int> list;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        long long a, b;
        size_t dash = item.find('-', 1);
        bool ok;
        if (dash != std::string::npos)
            ok = parseIntArg(item.substr(0, dash), min, max, a) &&
                 parseIntArg(item.substr(dash + 1), min, max, b) && a <= b;
        else
            ok = parseIntArg(item, min, max, a) && (b = a, true);
        if (!ok) {
            error = "bad address \"" + item + "\" (addresses " + std::to_string(min) + " to " +
                    std::to_string(max) + ", lists like 1,2,5 or 3-7)";
            return false;
        }
        for (long long v = a; v <= b; ++v)
            if (std::find(list.begin(), list.end(), v) == list.end())
                list.push_back(static_cast<int>(v));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    out = std::move(list);
    return true;
}

bool parseHostPort(const std::string& text, std::string& host, uint16_t& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    std::string h = text.substr(0, colon);
    if (h == "localhost") h = "127.0.0.1";
    long long p;
    if (TComm::ParseIPv4(h) == 0xFFFEFFFFu || !parseIntArg(text.substr(colon + 1), 1, 65535, p))
        return false;
    host = h;
    port = static_cast<uint16_t>(p);
    return true;
}

} // namespace getkelo::cli
