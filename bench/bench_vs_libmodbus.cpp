// One read of 12 registers (the controller poll) over a pseudo-terminal, against a peer
// thread that answers at once: the device layer beside libmodbus (an independent Modbus
// master, when installed) on the very same terminal, so the figures compare like with like.
#include "base/clock.h"
#include "comm/crc16.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

#ifdef GETKELO_HAVE_LIBMODBUS
#include <modbus.h>
#endif

namespace {

using namespace getkelo;

// A device behind the master side of a pseudo-terminal: answers every function 03 request
// with counting register bytes as soon as the request is complete.
class PtyPeer {
  public:
    PtyPeer() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        slave_ = ::ptsname(master_);
        termios t{};
        int s = ::open(slave_.c_str(), O_RDWR | O_NOCTTY);
        if (s >= 0 && ::tcgetattr(s, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(s, TCSANOW, &t);
        }
        if (s >= 0) ::close(s);
        thread_ = std::thread([this] { serve(); });
    }
    ~PtyPeer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (master_ >= 0) ::close(master_);
    }
    const std::string& slavePath() const { return slave_; }

  private:
    void serve() {
        uint8_t req[8];
        size_t got = 0;
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0 || !(p.revents & POLLIN)) continue;
            ssize_t n = ::read(master_, req + got, sizeof req - got);
            if (n <= 0) continue;
            got += static_cast<size_t>(n);
            if (got < sizeof req) continue;
            got = 0;
            uint8_t answer[5 + 2 * 125];
            int count = req[5];
            answer[0] = req[0];
            answer[1] = 0x03;
            answer[2] = static_cast<uint8_t>(2 * count);
            for (int i = 0; i < 2 * count; ++i)
                answer[3 + i] = static_cast<uint8_t>(i);
            int length = appendCrc(answer, 3 + 2 * count);
            [[maybe_unused]] ssize_t w = ::write(master_, answer, static_cast<size_t>(length));
        }
    }

    int master_ = -1;
    std::string slave_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

void BM_TTesraRead12OverPty(benchmark::State& state) {
    PtyPeer peer;
    TComm comm(systemClock());
    comm.SetComPortPath(1, peer.slavePath());
    TConnectionSettings settings; // "COM" 1
    TTesra tesra(comm, settings);
    if (tesra.Handle <= 0) {
        state.SkipWithError(("cannot open " + peer.slavePath()).c_str());
        return;
    }
    tesra.Address = 1;
    tesra.DelayMs = 0;
    uint8_t buffer[kFrameBufferSize];
    int failures = 0;
    for (auto _ : state) {
        if (tesra.ReadRegisters(buffer, 0x0000, 12) != kResultOk) ++failures;
        benchmark::DoNotOptimize(buffer);
    }
    state.counters["failures"] = failures;
}
BENCHMARK(BM_TTesraRead12OverPty)->Unit(benchmark::kMicrosecond)->UseRealTime();

#ifdef GETKELO_HAVE_LIBMODBUS
void BM_LibmodbusRead12OverPty(benchmark::State& state) {
    PtyPeer peer;
    modbus_t* ctx = modbus_new_rtu(peer.slavePath().c_str(), 9600, 'N', 8, 2);
    if (!ctx || modbus_connect(ctx) != 0) {
        state.SkipWithError("libmodbus cannot open the terminal");
        if (ctx) modbus_free(ctx);
        return;
    }
    modbus_set_slave(ctx, 1);
    uint16_t regs[12];
    int failures = 0;
    for (auto _ : state) {
        if (modbus_read_registers(ctx, 0x0000, 12, regs) != 12) ++failures;
        benchmark::DoNotOptimize(regs);
    }
    state.counters["failures"] = failures;
    modbus_close(ctx);
    modbus_free(ctx);
}
BENCHMARK(BM_LibmodbusRead12OverPty)->Unit(benchmark::kMicrosecond)->UseRealTime();
#endif

} // namespace

BENCHMARK_MAIN();
