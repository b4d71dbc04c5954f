#include "cli/cli_app.h"

#include "base/number_format.h"

// The whole library once: the App needs the config and formatter definitions.
#include <CLI/CLI.hpp>

#include <iostream>

namespace getkelo::cli {
namespace {

constexpr const char* kBusGroup = "Where the bus is";
constexpr const char* kTalkGroup = "How to talk to it";

// An error message as one line: scripts read the first line of stderr.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

} // namespace

CLI::Validator integerIn(long long min, long long max) {
    return CLI::Validator(
        [min, max](std::string& text) -> std::string {
            long long v;
            if (!parseIntArg(text, min, max, v))
                return "wants a number from " + std::to_string(min) + " to " + std::to_string(max) +
                       ", not \"" + text + "\"";
            text = std::to_string(v);
            return {};
        },
        "");
}

CLI::Validator secondsUpTo(double max) {
    return CLI::Validator(
        [max](std::string& text) -> std::string {
            double v;
            if (!parseNumber(text, v) || !(v >= 0) || v > max)
                return "needs seconds from 0 to " + formatGeneral(max) + ", not \"" + text + "\"";
            return {};
        },
        "");
}

double secondsOf(const std::string& text) {
    double v = 0;
    parseNumber(text, v);
    return v;
}

CLI::Validator descriptorText(DescriptorUse use) {
    return CLI::Validator(
        [use](std::string& text) -> std::string {
            RegisterDescriptor d;
            std::string error;
            return parseDescriptor(text, d, error, use) ? "" : error;
        },
        "");
}

CliApp::CliApp()
    : app_("Talks Modbus RTU to flow meters and controllers over a serial port or a TCP\n"
           "gateway. The bus is one of --tcp, --com and --port; without any, the connection\n"
           "stored in the settings file (section [Tesra]), as the console uses it.",
           "getkelo-cli") {
    auto formatter = app_.get_formatter();
    formatter->column_width(32);
    formatter->label("SUBCOMMAND", "COMMAND");
    formatter->label("Subcommands", "Commands");
    formatter->label("REQUIRED", "");
    app_.set_help_flag("-h,--help", "this text");
    // Shared options may also stand after the command ("read 6:float --address 3").
    app_.fallthrough();
    app_.require_subcommand(1);
    addSharedOptions();
    addFooter(
        "DESCRIPTOR is a register descriptor in hex, 0xRRRRCCTT (register, register count,\n"
        "type code; 0x00060213 is the setpoint), or REGISTER:TYPE with TYPE one of float,\n"
        "int16, uint16, uint32, byte, text8, text50 (0x0006:float), or a register name\n"
        "(Flow, Setpoint, ControlMode, SerialNumber, TagName, Messwerteinheit ...). REGISTER\n"
        "is decimal unless written with 0x: 14:float is register 14, 0x14:float register 20.\n"
        "\n"
        "scan, poll and log unlock the devices they probe, as the console's scan does,\n"
        "and lock them again with one broadcast when they end, also after SIGINT or\n"
        "SIGTERM.\n"
        "\n"
        "Exit status: 0 done, 1 the bus or the device failed (a failed read prints\n"
        "\"Fehler\"), 2 bad command line; a scan or a counted poll stopped by a signal\n"
        "exits with 128 + the signal number (130 for SIGINT).");
}

void CliApp::addSharedOptions() {
    CliOptions& o = context_.options;
    auto* tcp = app_.add_option_function<std::string>(
                        "--tcp",
                        [&o](const std::string& text) {
                            parseHostPort(text, o.tcpHost, o.tcpPort);
                            o.link = CliOptions::Link::Tcp;
                        },
                        "TCP gateway, HOST a dotted IPv4 address or localhost")
                    ->option_text("HOST:PORT")
                    ->check(CLI::Validator(
                        [](std::string& text) -> std::string {
                            std::string host;
                            uint16_t port;
                            if (parseHostPort(text, host, port)) return {};
                            return "wants HOST:PORT with a dotted IPv4 host, not \"" + text + "\"";
                        },
                        ""))
                    ->group(kBusGroup);
    auto* com = app_.add_option_function<int>(
                        "--com",
                        [&o](int n) {
                            o.comNumber = n;
                            o.link = CliOptions::Link::Com;
                        },
                        "serial port COM N: the path in [Tesra] ComPath_<N>\n"
                        "of the settings file, else /dev/ttyS<N-1>")
                    ->option_text("N")
                    ->transform(integerIn(1, 255))
                    ->group(kBusGroup);
    auto* port = app_.add_option_function<std::string>(
                         "--port",
                         [&o](const std::string& path) {
                             o.portPath = path;
                             o.link = CliOptions::Link::Path;
                         },
                         "serial port by path (/dev/ttyUSB0,\n"
                         "/dev/serial/by-id/..., a pseudo-terminal)")
                     ->option_text("PATH")
                     ->check(CLI::Validator(
                         [](std::string& text) -> std::string {
                             return text.empty() ? "wants a device path" : "";
                         },
                         ""))
                     ->group(kBusGroup);
    tcp->excludes(com)->excludes(port);
    com->excludes(port);
    auto* console = app_.add_flag("--console", o.console,
                                  "through the running console (its automation\n"
                                  "socket) instead of opening the port: read,\n"
                                  "write and poll share the console's bus")
                        ->option_text(" ")
                        ->group(kBusGroup);
    console->excludes(tcp)->excludes(com)->excludes(port);
    app_.add_option("--socket", o.socketPath,
                    "the console's socket for --console and serve\n"
                    "(default $XDG_RUNTIME_DIR/getkelo/console.sock,\n"
                    "else console.sock beside GetKelo.ini)")
        ->option_text("PATH")
        ->group(kBusGroup);
    app_.add_option("--config", o.configDir,
                    "folder of GetKelo.ini (default\n"
                    "$XDG_CONFIG_HOME/getkelo or ~/.config/getkelo)")
        ->option_text("DIR")
        ->group(kBusGroup);

    app_.add_option_function<std::string>(
            "--address",
            [&o](const std::string& text) {
                std::string error;
                parseAddressList(text, o.addresses, error);
            },
            "slave address 1..247 (default 1); a list such as\n"
            "1,2,5 or 3-7 for commands that visit several devices\n"
            "(read and write use the first)")
        ->option_text("A")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                std::vector<int> list;
                std::string error;
                return parseAddressList(text, list, error) ? "" : error;
            },
            ""))
        ->group(kTalkGroup);
    app_.add_option("--retry-limit", o.retryLimit,
                    "empty 10 ms reads before an answer counts as missing\n"
                    "(default 100, about 1 s)")
        ->option_text("N")
        ->transform(integerIn(0, 100000))
        ->group(kTalkGroup);
    app_.add_option("--delay-ms", o.delayMs,
                    "pause after every register read, 0..255 (default 100)")
        ->option_text("N")
        ->transform(integerIn(0, 255))
        ->group(kTalkGroup);
    auto* trace = app_.add_flag("--trace", o.trace,
                                "every frame on the wire, decoded, as one line on\n"
                                "standard error")
                      ->group(kTalkGroup);
    // Through the console there is no bus here to watch: its own monitor shows it.
    trace->excludes(console);
}

CLI::App* CliApp::addCommand(const std::string& name, const std::string& description, Run run) {
    runs_[name] = std::move(run);
    return app_.add_subcommand(name, description)->group("Commands");
}

void CliApp::addFooter(const std::string& text) {
    footer_ += (footer_.empty() ? "" : "\n\n") + text;
    app_.footer(footer_);
}

int CliApp::run(int argc, const char* const* argv) {
    try {
        app_.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        // The main help shows every command with its options; a command's help only its own.
        if (app_.get_subcommands().empty())
            std::cout << app_.help("", CLI::AppFormatMode::All);
        else
            std::cout << app_.help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        if (app_.get_subcommands().empty()) {
            for (const std::string& word : app_.remaining()) {
                if (!word.empty() && word[0] != '-') {
                    printError("unknown command \"" + word + "\" (try --help)");
                    return kExitUsage;
                }
            }
            if (app_.remaining().empty() && dynamic_cast<const CLI::RequiredError*>(&e)) {
                printError("no command given (try --help)");
                return kExitUsage;
            }
        }
        std::string message = e.what();
        if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) &&
            message.find(':') != std::string::npos)
            message = message.substr(0, message.find(':')) + " needs a value";
        printError(oneLine(message));
        return kExitUsage;
    }
    const std::string name = app_.get_subcommands().front()->get_name();
    if (context_.options.console && !consoleCommands_.count(name)) {
        printError("--console works with read, write and poll, not with " + name);
        return kExitUsage;
    }
    const int code = runs_.at(name)(context_);
    context_.relock();
    return code;
}

} // namespace getkelo::cli
