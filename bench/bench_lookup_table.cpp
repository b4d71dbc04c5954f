// A lookup table of 129 values read from and written to getkelo-sim over loopback TCP with
// the real clock: the transfer should cost its pacing (DelayMs after each of the 43 reads;
// 100 ms before each of the 43 block writes, 200 ms and the "EepromMode" read after them)
// and at most 5 % more. Reported as "pacing_ms" and "overhead_pct".
#include "base/clock.h"
#include "comm/register_catalogue.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "sim_child.h"
#include "ui/scripted_ui.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>

namespace {

using namespace getkelo;

constexpr uint8_t kSecondGeneration = 4; // stores its tables by itself

struct Link {
    bench::SimChild sim;
    TComm comm{systemClock()};
    std::unique_ptr<TTesra> tesra;
    ScriptedUi ui;
    Link() {
        TConnectionSettings s;
        std::strcpy(s.Address, "127.0.0.1");
        s.Port = static_cast<uint16_t>(sim.port);
        if (sim.port) tesra = std::make_unique<TTesra>(comm, s);
        if (tesra) tesra->Address = kSecondGeneration;
    }
};

void report(benchmark::State& state, double pacingMs, double totalMs) {
    state.counters["pacing_ms"] = pacingMs;
    state.counters["overhead_pct"] =
        (totalMs / static_cast<double>(state.iterations()) - pacingMs) / pacingMs * 100;
}

void BM_ReadLookupTable(benchmark::State& state) {
    Link l;
    if (!l.tesra || !l.tesra->isOpen()) return state.SkipWithError("simulator did not start");
    l.tesra->DelayMs = 100;
    LookupTable values{};
    double totalMs = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        if (l.tesra->ReadLookupTable(0, values, l.ui) != 0)
            return state.SkipWithError("read failed");
        totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                       .count();
        l.ui.progressEvents.clear();
    }
    report(state, 43 * 100.0, totalMs);
}
BENCHMARK(BM_ReadLookupTable)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_WriteLookupTable(benchmark::State& state) {
    Link l;
    if (!l.tesra || !l.tesra->isOpen()) return state.SkipWithError("simulator did not start");
    l.tesra->DelayMs = 100;
    l.tesra->WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
    LookupTable values{};
    for (int i = 0; i < kLutValueCount; ++i)
        values[i] = static_cast<float>(i) / 128.0f;
    double totalMs = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        if (l.tesra->WriteLookupTable(0, values, l.ui) != 0)
            return state.SkipWithError("write failed");
        totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                       .count();
        l.ui.progressEvents.clear();
    }
    // 43 pauses before the blocks, the settling pause, DelayMs after the "EepromMode" read.
    report(state, 43 * 100.0 + 200 + 100, totalMs);
}
BENCHMARK(BM_WriteLookupTable)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
