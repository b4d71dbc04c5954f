// One ReadRegisters of 12 registers (the controller poll) over loopback TCP, against a peer
// thread that answers at once: the cost of the device layer itself, without bus time.
#include "base/clock.h"
#include "comm/crc16.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"

#include <arpa/inet.h>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace getkelo;

class InstantPeer {
  public:
    InstantPeer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listener_, 1);
        socklen_t len = sizeof a;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~InstantPeer() {
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        thread_.join();
    }
    uint16_t port() const { return port_; }

  private:
    void serve() {
        int c = ::accept(listener_, nullptr, nullptr);
        if (c < 0) return;
        int one = 1;
        ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        uint8_t req[8];
        uint8_t answer[5 + 2 * 12];
        for (;;) {
            size_t got = 0;
            while (got < sizeof req) {
                ssize_t n = ::recv(c, req + got, sizeof req - got, 0);
                if (n <= 0) {
                    ::close(c);
                    return;
                }
                got += static_cast<size_t>(n);
            }
            int count = req[5];
            answer[0] = req[0];
            answer[1] = 0x03;
            answer[2] = static_cast<uint8_t>(2 * count);
            for (int i = 0; i < 2 * count; ++i)
                answer[3 + i] = static_cast<uint8_t>(i);
            int length = appendCrc(answer, 3 + 2 * count);
            ::send(c, answer, static_cast<size_t>(length), MSG_NOSIGNAL);
        }
    }

    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
};

void BM_ReadRegisters12OverLoopbackTcp(benchmark::State& state) {
    InstantPeer peer;
    TComm comm(systemClock());
    TConnectionSettings settings;
    std::strcpy(settings.Address, "127.0.0.1");
    settings.Port = peer.port();
    TTesra tesra(comm, settings);
    if (tesra.Handle <= 0) {
        state.SkipWithError("cannot connect to the peer");
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
BENCHMARK(BM_ReadRegisters12OverLoopbackTcp)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
