// The console's bus scan and polling tick on the in-process simulated bus and virtual time:
// what is measured is program time only (the bus waits and the DelayMs pause cost no real
// time on the virtual clock); the virtual milliseconds are reported beside it.
#include "base/clock.h"
#include "comm/bus_decoder.h"
#include "comm/bus_monitor.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/console.h"
#include "console/device_probe.h"
#include "console/headless_view.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim/sim_transport.h"
#include "ui/scripted_ui.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

using namespace getkelo;

namespace {

// Probing one empty address with the scan's RetryLimit 15.
void BM_ScanEmptyAddress(benchmark::State& state) {
    VirtualClock clock;
    TComm comm(clock);
    sim::SimBus bus(clock);
    for (const auto& c : sim::demoBus())
        bus.addDevice(c);
    TTesra tesra(comm, comm.AttachTransport(std::make_unique<sim::SimTransport>(bus, clock)));
    comm.RetryLimit = 15;
    int64_t before = clock.nowMs();
    int64_t probes = 0;
    for (auto _ : state) {
        tesra.Address = 100;
        benchmark::DoNotOptimize(probeIdentity(tesra));
        ++probes;
    }
    state.counters["virtual_ms_per_address"] =
        static_cast<double>(clock.nowMs() - before) / static_cast<double>(probes);
}
BENCHMARK(BM_ScanEmptyAddress);

// A settings folder whose file stores the five demo devices (and the polling scope).
std::string storedDemoSettings(const std::string& tag, bool pollAll) {
    std::string dir = (std::filesystem::temp_directory_path() /
                       ("getkelo-bench-" + tag + "-" + std::to_string(getpid())))
                          .string();
    std::filesystem::create_directories(dir);
    IniFile f(dir + "/GetKelo.ini");
    IniFile::Batch b(f);
    f.writeBool("Init", "Multi", pollAll);
    for (int a = 1; a <= 5; ++a)
        f.writeInteger("Init", "tesra_" + std::to_string(a), a);
    return dir;
}

// A console on the in-process demo bus and virtual time.
struct DemoConsole {
    explicit DemoConsole(const std::string& dir)
        : comm(clock), bus(clock),
          console(comm, view, ui, texts, ConsolePaths{dir + "/GetKelo.ini", dir, dir}) {
        for (const auto& c : sim::demoBus())
            bus.addDevice(c);
        console.setConnectionFactory([this](TComm& c) {
            return std::make_unique<TTesra>(
                c, c.AttachTransport(std::make_unique<sim::SimTransport>(bus, clock)));
        });
    }
    VirtualClock clock;
    TComm comm;
    sim::SimBus bus;
    HeadlessView view;
    ScriptedUi ui;
    MapTextSource texts;
    Console console;
};

// One polling tick over the five demo devices ("Alle Geräte simultan").
void BM_PollRoundDemoBus(benchmark::State& state) {
    std::string dir = storedDemoSettings("poll", true);
    DemoConsole demo(dir);
    Console& console = demo.console;
    console.FormShow();
    if (console.devices().count() != 5) state.SkipWithError("demo bus not found");
    for (auto _ : state)
        console.TimerTimer();
    state.SetItemsProcessed(state.iterations() * console.devices().count());
    state.counters["us_per_device"] =
        benchmark::Counter(static_cast<double>(state.iterations() * console.devices().count()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_PollRoundDemoBus)->Unit(benchmark::kMicrosecond);

// The same round with the traffic monitor closed (0), open (1: the device layer records
// every frame, and each round the monitor takes the new ones into its rows, as the window's
// refresh does), and open with every new frame decoded into its line (2: more than a window
// does, which decodes only the rows it paints).
void BM_PollRoundBusMonitor(benchmark::State& state) {
    std::string dir = storedDemoSettings("monitor", true);
    DemoConsole demo(dir);
    Console& console = demo.console;
    console.FormShow();
    if (console.devices().count() != 5) state.SkipWithError("demo bus not found");
    BusMonitor monitor(demo.comm);
    const int64_t mode = state.range(0);
    if (mode > 0) monitor.open();
    size_t decoded = 0;
    for (auto _ : state) {
        console.TimerTimer();
        if (mode == 0) continue;
        const BusMonitor::Change change = monitor.refresh();
        if (mode == 1) continue;
        for (int r = monitor.rowCount() - change.added; r < monitor.rowCount(); ++r)
            decoded += monitor.rowLine(r).size();
    }
    benchmark::DoNotOptimize(decoded);
    if (mode > 0 && monitor.recorder())
        state.counters["frames_per_round"] =
            static_cast<double>(monitor.recorder()->ring().nextSeq() - 1) /
            static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * console.devices().count());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_PollRoundBusMonitor)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// Start-up with the five demo devices stored, as the desktop program does it (the stored
// devices probed one per tick): the bus time until the window is usable, and until every
// device is back and the stored row selected, in virtual milliseconds.
void BM_StartupFiveStoredDevices(benchmark::State& state) {
    std::string dir = storedDemoSettings("start", false);
    double usableMs = 0, restoredMs = 0;
    int64_t runs = 0;
    for (auto _ : state) {
        DemoConsole demo(dir);
        Console& console = demo.console;
        console.setRestoreInTicks(true);
        int64_t t0 = demo.clock.nowMs();
        console.FormShow();
        usableMs += static_cast<double>(demo.clock.nowMs() - t0);
        while (!console.started()) {
            demo.clock.sleepMs(100); // the polling timer's interval
            console.TimerTimer();
        }
        restoredMs += static_cast<double>(demo.clock.nowMs() - t0);
        ++runs;
        if (console.devices().count() != 5) state.SkipWithError("demo bus not found");
    }
    state.counters["virtual_ms_until_usable"] = usableMs / static_cast<double>(runs);
    state.counters["virtual_ms_until_restored"] = restoredMs / static_cast<double>(runs);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StartupFiveStoredDevices)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
