// getkelo-cli: the device layer from a shell, for scripting, service work and tests.
#include "cli/cli_commands.h"
#include "cli/cli_context.h"

#include <iostream>
#include <string>
#include <vector>

namespace getkelo::cli {
namespace {

struct Command {
    const char* name;
    int (*run)(CliContext&, const std::vector<std::string>&);
};

const Command kCommands[] = {
    {"read", runRead}, {"write", runWrite}, {"scan", runScan}, {"poll", runPoll}, {"log", runLog},
};

void printHelp() {
    std::cout
        << "Usage: getkelo-cli [OPTIONS] COMMAND [ARGS]\n"
           "\n"
           "Talks Modbus RTU to flow meters and controllers over a serial port or a TCP\n"
           "gateway.\n"
           "\n"
           "Where the bus is (one of them; without any, the connection stored in the\n"
           "settings file, section [Tesra], as the console uses it):\n"
           "  --tcp HOST:PORT               TCP gateway, HOST a dotted IPv4 address or localhost\n"
           "  --com N                       serial port COM N: the path in [Tesra] ComPath_<N>\n"
           "                                of the settings file, else /dev/ttyS<N-1>\n"
           "  --port PATH                   serial port by path (/dev/ttyUSB0,\n"
           "                                /dev/serial/by-id/..., a pseudo-terminal)\n"
           "  --config DIR                  folder of GetKelo.ini (default\n"
           "                                $XDG_CONFIG_HOME/getkelo or ~/.config/getkelo)\n"
           "\n"
           "How to talk to it:\n"
           "  --address A                   slave address 1..247 (default 1); a list such as\n"
           "                                1,2,5 or 3-7 for commands that visit several devices\n"
           "                                (read and write use the first)\n"
           "  --retry-limit N               empty 10 ms reads before an answer counts as missing\n"
           "                                (default 100, about 1 s)\n"
           "  --delay-ms N                  pause after every register read, 0..255 (default 100)\n"
           "  -h, --help                    this text\n"
           "\n"
           "Commands:\n"
        << readWriteUsage() << scanUsage() << pollUsage() << logUsage()
        << "\n"
           "DESCRIPTOR is a register descriptor in hex, 0xRRRRCCTT (register, register count,\n"
           "type code; 0x00060213 is the setpoint), or REGISTER:TYPE with TYPE one of float,\n"
           "int16, uint16, uint32, byte, text8, text50 (0x0006:float).\n"
           "\n"
           "Exit status: 0 done, 1 the bus or the device failed (a failed read prints\n"
           "\"Fehler\"), 2 bad command line.\n";
}

// Takes the shared options out of argv (they may stand anywhere); what is left is the
// command and its own arguments.
int parseGlobal(int argc, char** argv, CliOptions& o, std::vector<std::string>& rest) {
    int links = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--") {
            // Everything after "--" belongs to the command, even texts that look like options.
            rest.push_back(a);
            for (++i; i < argc; ++i)
                rest.push_back(argv[i]);
            break;
        }
        if (a == "-h" || a == "--help") {
            printHelp();
            return -1;
        }
        std::string name = a, value;
        bool inlineValue = false;
        if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
            name = a.substr(0, a.find('='));
            value = a.substr(a.find('=') + 1);
            inlineValue = true;
        }
        static const char* kWithValue[] = {"--tcp",     "--com",         "--port",    "--config",
                                           "--address", "--retry-limit", "--delay-ms"};
        bool known = false;
        for (const char* k : kWithValue)
            known = known || name == k;
        if (!known) {
            rest.push_back(a);
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) {
                printError(name + " needs a value");
                return kExitUsage;
            }
            value = argv[++i];
        }
        long long n;
        std::string error;
        if (name == "--tcp") {
            if (!parseHostPort(value, o.tcpHost, o.tcpPort)) {
                printError("--tcp wants HOST:PORT with a dotted IPv4 host, not \"" + value + "\"");
                return kExitUsage;
            }
            o.link = CliOptions::Link::Tcp;
            ++links;
        } else if (name == "--com") {
            if (!parseIntArg(value, 1, 255, n)) {
                printError("--com wants a port number from 1 to 255, not \"" + value + "\"");
                return kExitUsage;
            }
            o.comNumber = static_cast<int>(n);
            o.link = CliOptions::Link::Com;
            ++links;
        } else if (name == "--port") {
            if (value.empty()) {
                printError("--port wants a device path");
                return kExitUsage;
            }
            o.portPath = value;
            o.link = CliOptions::Link::Path;
            ++links;
        } else if (name == "--config") {
            o.configDir = value;
        } else if (name == "--address") {
            if (!parseAddressList(value, o.addresses, error)) {
                printError("--address: " + error);
                return kExitUsage;
            }
        } else if (name == "--retry-limit") {
            if (!parseIntArg(value, 0, 100000, n)) {
                printError("--retry-limit wants a number from 0 to 100000, not \"" + value + "\"");
                return kExitUsage;
            }
            o.retryLimit = static_cast<int>(n);
        } else if (name == "--delay-ms") {
            if (!parseIntArg(value, 0, 255, n)) {
                printError("--delay-ms wants a number from 0 to 255, not \"" + value + "\"");
                return kExitUsage;
            }
            o.delayMs = static_cast<int>(n);
        }
    }
    if (links > 1) {
        printError("give only one of --tcp, --com and --port");
        return kExitUsage;
    }
    return kExitOk;
}

int run(int argc, char** argv) {
    CliContext context;
    std::vector<std::string> rest;
    int parsed = parseGlobal(argc, argv, context.options, rest);
    if (parsed < 0) return kExitOk;
    if (parsed != kExitOk) return parsed;
    // The command is the first word that is not an option.
    auto it = rest.begin();
    while (it != rest.end() && it->size() > 1 && (*it)[0] == '-')
        ++it;
    if (it == rest.end()) {
        printError("no command given (try --help)");
        return kExitUsage;
    }
    std::string name = *it;
    rest.erase(it);
    for (const Command& c : kCommands)
        if (name == c.name) return c.run(context, rest);
    printError("unknown command \"" + name + "\" (try --help)");
    return kExitUsage;
}

} // namespace
} // namespace getkelo::cli

int main(int argc, char** argv) {
    return getkelo::cli::run(argc, argv);
}
