// How fast the simulator answers: a complete request on a loopback TCP connection to the
// real getkelo-sim until the whole answer is read, and the engine alone per request.
#include "base/clock.h"
#include "comm/crc16.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim_child.h"

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <csignal>
#include <cstdio>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::vector<uint8_t> identityRequest(uint8_t address) {
    std::vector<uint8_t> f{address, 0x03, 0x00, 0x1E, 0x00, 0x09, 0, 0};
    getkelo::appendCrc(f.data(), 6);
    return f;
}

using getkelo::bench::SimChild;

void BM_SimAnswerOverLoopbackTcp(benchmark::State& state) {
    SimChild sim;
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(sim.port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (sim.port == 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto req = identityRequest(1);
    uint8_t buf[64];
    for (auto _ : state) {
        if (::write(fd, req.data(), req.size()) != 8) break;
        int got = 0;
        while (got < 23) {
            ssize_t n = ::read(fd, buf + got, sizeof buf - got);
            if (n <= 0) break;
            got += static_cast<int>(n);
        }
        benchmark::DoNotOptimize(buf);
    }
    ::close(fd);
}
BENCHMARK(BM_SimAnswerOverLoopbackTcp)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SimBusHandleFrame(benchmark::State& state) {
    getkelo::VirtualClock clock;
    getkelo::sim::SimBus bus(clock);
    for (const auto& c : getkelo::sim::demoBus())
        bus.addDevice(c);
    auto req = identityRequest(1);
    for (auto _ : state) {
        clock.advanceMs(100);
        auto a = bus.handleFrame(req.data(), 8);
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(BM_SimBusHandleFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
