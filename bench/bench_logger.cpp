// Program time per log line: five marked devices at the fastest interval (0.5 s), the
// logger's schedule, formatting, write and periodic sync; the bus is not part of it.
#include "base/clock.h"
#include "console/device_list.h"
#include "console/logging/data_logger.h"
#include "ui/scripted_ui.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace getkelo;

void BM_LogLineFiveDevices(benchmark::State& state) {
    char pattern[] = "/tmp/getkelo-bench-log-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    VirtualClock clock;
    ScriptedUi ui;
    DeviceList list;
    for (int i = 1; i <= 5; ++i) {
        int row = list.appendRow();
        list.setCell(row, kColAddress, std::to_string(i));
        list.setCell(row, kColSerial, std::to_string(24010000 + i));
        list.setCell(row, kColUnit, "mln/min");
        list.setCell(row, kColTotalUnit, "mln");
        list.setCell(row, kColFlow, "123.4567");
        list.setCell(row, kColTemperature, "21.34");
        list.setCell(row, kColTotal, "98765.43");
        list.setCell(row, kColLogMark, " x");
        list.record(row).setpoint = 125.5f;
        list.record(row).valve = 42.123f;
    }
    DataLogger logger(list, clock, ui);
    logger.settings().stored = LoggerSettings{true, true, true, true, "0", 0, "100", 0, false};
    logger.setWorkDir([&] { return dir; });
    logger.recordClick();
    int64_t lines = 0;
    for (auto _ : state) {
        clock.advanceMs(500);
        if (logger.scheduleStep())
            for (int row = 1; row <= 5; ++row)
                logger.writeLine(row);
        lines += 5;
    }
    logger.stopClick();
    state.SetItemsProcessed(lines);
    state.counters["us_per_line"] = benchmark::Counter(
        static_cast<double>(lines), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LogLineFiveDevices)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
