// getkelo-sim: a simulated device bus behind a TCP gateway port and/or a pseudo-terminal.
#include "base/clock.h"
#include "base/integer_parse.h"
#include "sim/bootloader.h"
#include "sim/bus_file.h"
#include "sim/calibration_model.h"
#include "sim/device_profiles.h"
#include "sim/fault_commands.h"
#include "sim/pty_endpoint.h"
#include "sim/sim_bus.h"
#include "sim/sim_server.h"
#include "sim/tcp_endpoint.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>

using namespace getkelo;
using namespace getkelo::sim;

namespace {

int stopPipe[2] = {-1, -1};

void onSignal(int) {
    char c = 1;
    [[maybe_unused]] auto n = ::write(stopPipe[1], &c, 1);
}

constexpr const char* kUsage =
    "usage: getkelo-sim [--tcp HOST:PORT] [--pty LINK] [--bus FILE] [--help]\n"
    "                   [--reference A:DUT] (a reference meter at A for DUT)\n"
    "       getkelo-sim --make-firmware FILE VERSION BYTES  (test image for the\n"
    "       bootloader: VERSION as a.b.cc, the software it makes)\n"
    "Fault commands on standard input: silent A, crc A, short A, late A MS,\n"
    "none A, gas A 0|1, flow A V, analog A V, service A ..., boot A ..., unplug, plug,\n"
    "drop, quit.\n";

// A wrong command line: the usage on stderr, exit 2.
int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

// "late:300" from a bus file to the command "late A 300".
std::string faultLine(const std::string& fault, int address) {
    std::string kind = fault, arg;
    auto colon = fault.find(':');
    if (colon != std::string::npos) kind = fault.substr(0, colon), arg = fault.substr(colon + 1);
    return kind + " " + std::to_string(address) + (arg.empty() ? "" : " " + arg);
}

} // namespace

// A test firmware file (bootloader.h) the bootloader takes and runs as `version`.
int makeFirmware(const std::string& path, const std::string& version, const std::string& bytes) {
    long long length = 0;
    if (!parseIntegerIn(bytes, 32, 64LL * 1024 * 1024, length)) return usage();
    auto image = makeTestFirmware(versionWord(version), static_cast<size_t>(length));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(image.data(), 1, image.size(), f) == image.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "getkelo-sim: cannot write %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--make-firmware")
        return makeFirmware(argv[2], argv[3], argv[4]);
    std::string tcp, pty, busPath;
    std::vector<std::pair<int, int>> references;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout); // asked for: not an error
            return 0;
        }
        if ((a == "--tcp" || a == "--pty" || a == "--bus") && i + 1 < argc) {
            (a == "--tcp" ? tcp : a == "--pty" ? pty : busPath) = argv[++i];
        } else if (a == "--reference" && i + 1 < argc) {
            int at = 0, dut = 0;
            if (std::sscanf(argv[++i], "%d:%d", &at, &dut) != 2 || at < 1 || at > 247 || dut < 1 ||
                dut > 247)
                return usage();
            references.emplace_back(at, dut);
        } else {
            return usage();
        }
    }
    if (tcp.empty() && pty.empty()) return usage();

    SystemClock& clock = systemClock();
    SimBus bus(clock);
    if (busPath.empty()) {
        for (const auto& c : demoBus())
            bus.addDevice(c);
    } else {
        std::vector<BusFileDevice> devices;
        std::string error;
        if (!readBusFile(busPath, devices, error)) {
            std::fprintf(stderr, "getkelo-sim: %s\n", error.c_str());
            return 1;
        }
        for (const auto& d : devices)
            bus.addDevice(d.config);
        for (const auto& d : devices)
            if (d.fault != "none" && !d.fault.empty()) {
                std::string ack = runFaultCommand(bus, faultLine(d.fault, d.config.address));
                if (ack.rfind("ok", 0) != 0) std::fprintf(stderr, "getkelo-sim: %s\n", ack.c_str());
            }
    }

    for (auto [at, dut] : references)
        bus.addDevice(referenceMeter(static_cast<uint8_t>(at), static_cast<uint8_t>(dut)));

    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return 1;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    SimServer server(bus, clock);
    std::unique_ptr<TcpEndpoint> tcpEnd;
    std::unique_ptr<PtyEndpoint> ptyEnd;
    std::string error;
    if (!tcp.empty()) {
        auto colon = tcp.rfind(':');
        if (colon == std::string::npos) return usage();
        long long port = 0;
        if (!parseIntegerIn(tcp.substr(colon + 1), 0, 65535, port)) return usage();
        tcpEnd = std::make_unique<TcpEndpoint>();
        if (!tcpEnd->listen(tcp.substr(0, colon), static_cast<int>(port), error)) {
            std::fprintf(stderr, "getkelo-sim: %s\n", error.c_str());
            return 1;
        }
        server.addEndpoint(*tcpEnd);
        std::printf("tcp %s:%d\n", tcpEnd->host().c_str(), tcpEnd->port());
    }
    if (!pty.empty()) {
        ptyEnd = std::make_unique<PtyEndpoint>();
        if (!ptyEnd->open(pty, error)) {
            std::fprintf(stderr, "getkelo-sim: %s\n", error.c_str());
            return 1;
        }
        server.addEndpoint(*ptyEnd);
        std::printf("pty %s -> %s\n", ptyEnd->slavePath().c_str(), pty.c_str());
    }
    std::fflush(stdout);

    server.setCommandFd(STDIN_FILENO);
    server.setStopFd(stopPipe[0]);
    server.run();
    if (ptyEnd) ptyEnd->removeLink();
    return 0;
}
