// The device layer's own work per exchange, without any system call: ReadRegisters of 12
// registers against an in-memory device that answers the moment the request is sent.
// Beside bench_vs_libmodbus (which includes the terminal), this isolates framing, CRC and
// the answer checks.
#include "base/clock.h"
#include "comm/crc16.h"
#include "comm/tcomm.h"
#include "comm/transport.h"
#include "comm/ttesra.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {

using namespace getkelo;

class MemoryDevice final : public Transport {
  public:
    bool isTcp() const override { return true; }
    int send(const uint8_t* req, int length) override {
        if (length < 8) return length;
        int count = req[5];
        answer_[0] = req[0];
        answer_[1] = 0x03;
        answer_[2] = static_cast<uint8_t>(2 * count);
        for (int i = 0; i < 2 * count; ++i)
            answer_[3 + i] = static_cast<uint8_t>(i);
        length_ = appendCrc(answer_, 3 + 2 * count);
        read_ = 0;
        return length;
    }
    int receive(uint8_t* data, int length) override {
        int n = std::min(length, length_ - read_);
        std::memcpy(data, answer_ + read_, static_cast<size_t>(n));
        read_ += n;
        return n;
    }
    void waitReadable(Clock&, int) override {}
    void purge() override { read_ = length_; }

  private:
    uint8_t answer_[260] = {};
    int length_ = 0;
    int read_ = 0;
};

void BM_ReadRegisters12InMemory(benchmark::State& state) {
    VirtualClock clock;
    TComm comm(clock);
    TTesra tesra(comm, comm.AttachTransport(std::make_unique<MemoryDevice>()));
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
BENCHMARK(BM_ReadRegisters12InMemory);

} // namespace

BENCHMARK_MAIN();
