// CPU of the desktop program while it polls the demo bus, with the bus monitor window closed
// and open: the real main window and monitor on real time, painting (run it under Xvfb, or
// with QT_QPA_PLATFORM=offscreen). Each iteration is one second of polling; the CPU column
// is the program's CPU time per second of polling.
#include "base/clock.h"
#include "base/ini_file.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/forms/tbus_monitor.h"
#include "console/forms/tget_kelo_m.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim/sim_transport.h"
#include "ui/scripted_ui.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <clocale>

using namespace getkelo;

namespace {

// The five demo devices stored, the first selected, single-device scope (as a user polls).
void BM_PollingWithMonitorWindow(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    {
        IniFile f(base + "GetKelo.ini");
        IniFile::Batch b(f);
        f.writeBool("Init", "Multi", false);
        for (int a = 1; a <= 5; ++a)
            f.writeInteger("Init", "tesra_" + std::to_string(a), a);
    }
    ScriptedUi ui;
    TComm comm(systemClock(), &ui);
    sim::SimBus bus(systemClock());
    for (const auto& c : sim::demoBus())
        bus.addDevice(c);
    TGetKeloM window(comm, ui, {base + "GetKelo.ini", GETKELO_DATA_DIR "/", base});
    window.setEndProgram([] {});
    window.console().setConnectionFactory([&bus](TComm& c) {
        return std::make_unique<TTesra>(
            c, c.AttachTransport(std::make_unique<sim::SimTransport>(bus, c.clock())));
    });
    window.resize(1040, 640);
    window.show();
    window.FormShow();
    QEventLoop loop;
    auto runFor = [&loop](int ms) {
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    // The stored devices come back one per tick.
    for (int i = 0; i < 100 && !window.console().started(); ++i)
        runFor(100);
    window.console().selectRow(1);
    if (window.console().devices().count() != 5) state.SkipWithError("demo bus not found");
    // 1: the window shown; 2: the device layer recording into the monitor, window hidden.
    if (state.range(0) == 1) window.busMonitor()->show();
    if (state.range(0) == 2) window.busMonitor()->monitor().open();
    runFor(1500); // settles: the monitor fills its first screen
    for (auto _ : state)
        runFor(1000);
    state.counters["frames"] =
        window.busMonitor()->monitor().recorder()
            ? static_cast<double>(window.busMonitor()->monitor().recorder()->ring().size())
            : 0.0;
    window.busMonitor()->hide();
    window.busMonitor()->monitor().close();
}
BENCHMARK(BM_PollingWithMonitorWindow)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
