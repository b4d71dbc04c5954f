// Plotting cost of the flow graph.
//
//   bench_graph_plot                     Google Benchmark: one sample into three full series,
//                                        with the repaint (offscreen platform)
//   bench_graph_plot --cpu SECONDS [PAUSE]  the whole program on the in-process demo bus in real
//                                        time with the flow graph open and its three series
//                                        full; prints the CPU share of one core (run it under
//                                        Xvfb: DISPLAY=:NN bench_graph_plot --cpu 20); PAUSE
//                                        is the graph's "Pause" (100 by default)
#include "base/clock.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/forms/tget_kelo_m.h"
#include "graphs/forms/graph_windows.h"
#include "graphs/forms/live_chart_view.h"
#include "graphs/forms/tgraph.h"
#include "graphs/graph_file.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim/sim_transport.h"
#include "ui/scripted_ui.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/resource.h>

using namespace getkelo;

namespace {

Sample sampleAt(int64_t i, int64_t t0) {
    Sample s;
    s.tMs = t0 + 150 * i;
    s.y = {50 + 10 * std::sin(i * 0.01), 50, 40 + 5 * std::sin(i * 0.013)};
    return s;
}

// A chart as the flow graph shows it, its three series full.
struct FullChart {
    LiveChartView view;
    SampleWindow window;
    int64_t next = 0;
    static constexpr int64_t t0 = 1700000000000;
    FullChart() {
        view.resize(900, 560);
        view.show();
        for (; next < 2000; ++next)
            window.append(sampleAt(next, t0));
        view.reload(window);
        QApplication::processEvents();
    }
    void append() {
        const Sample s = sampleAt(next++, t0);
        const bool dropped = window.append(s);
        view.appendSample(s, dropped, window);
        view.flush(); // drawn now, as if the samples came slower than five a second
    }
};

// What the flow graph does per sample: one point in and one out of each series, painted.
void BM_AppendSampleFullWindow(benchmark::State& state) {
    FullChart c;
    for (auto _ : state) {
        c.append();
        c.view.viewport()->repaint();
    }
    state.counters["points"] = c.view.series(0)->count();
}
BENCHMARK(BM_AppendSampleFullWindow)->Unit(benchmark::kMillisecond);

// Its two parts: the series update alone, the paint alone.
void BM_AppendSampleNoPaint(benchmark::State& state) {
    FullChart c;
    for (auto _ : state)
        c.append();
}
BENCHMARK(BM_AppendSampleNoPaint)->Unit(benchmark::kMillisecond);

void BM_PaintOnly(benchmark::State& state) {
    FullChart c;
    for (auto _ : state)
        c.view.viewport()->repaint();
}
BENCHMARK(BM_PaintOnly)->Unit(benchmark::kMillisecond);

// For comparison: handing the whole window to the series at every sample.
void BM_ReplaceWholeSeries(benchmark::State& state) {
    FullChart c;
    for (auto _ : state) {
        c.window.append(sampleAt(c.next++, FullChart::t0));
        c.view.reload(c.window);
        c.view.viewport()->repaint();
    }
}
BENCHMARK(BM_ReplaceWholeSeries)->Unit(benchmark::kMillisecond);

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec +
           u.ru_stime.tv_usec / 1e6;
}

int cpuRun(int seconds, const char* pause) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    sim::SimBus bus(systemClock());
    std::string ini = "[Init]\r\nMulti=0\r\n";
    for (const auto& c : sim::demoBus()) {
        bus.addDevice(c);
        ini += "tesra_" + std::to_string(c.address) + "=" + std::to_string(c.address) + "\r\n";
    }
    std::ofstream(base + "GetKelo.ini") << ini;
    ScriptedUi ui;
    TComm comm(systemClock(), &ui);
    TGetKeloM window(comm, ui, {base + "GetKelo.ini", GETKELO_DATA_DIR "/", base});
    window.setEndProgram([] {});
    window.console().setConnectionFactory([&bus](TComm& c) {
        return std::make_unique<TTesra>(
            c, c.AttachTransport(std::make_unique<sim::SimTransport>(bus, c.clock())));
    });
    window.show();
    QApplication::processEvents();
    window.FormShow();
    // The stored devices come back one per polling tick.
    QElapsedTimer startup;
    startup.start();
    while (!window.console().started() && startup.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    window.action("GraphMenu")->trigger();
    TGraph* graph = window.graphs()->flowGraph();
    graph->resize(1100, 700);

    // Three full series: a graph file of 2000 samples ending now.
    std::deque<Sample> samples;
    const int64_t now = systemClock().nowMs();
    for (int64_t i = 0; i < 2000; ++i)
        samples.push_back(sampleAt(i, now - 150 * 2000));
    std::string error;
    writeGraphFile(base + "full.log", GraphKind::Flow, "ln/min", samples, &error);
    graph->logic().openGraphFile(base + "full.log");
    graph->chartView()->reload(graph->logic().samples());
    graph->logic().SetListChange(4);
    if (pause) graph->PauseEdit->setText(pause), graph->logic().PauseEditChange(pause);

    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit); // settle
    loop.exec();
    const size_t before = graph->logic().samples().size();
    const int before0 = graph->chartView()->series(0)->count();
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    const int64_t start = systemClock().nowMs();
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = cpuSeconds() - cpu0;
    const double secs = wall.elapsed() / 1000.0;
    int plotted = 0;
    for (const Sample& s : graph->logic().samples().samples())
        plotted += s.tMs >= start;
    std::printf("platform %s, %d s: %.2f s CPU = %.1f %% of one core; %d samples plotted "
                "(%.1f per second), series hold %d points (window %zu, was %d/%zu)\n",
                qPrintable(QGuiApplication::platformName()), seconds, cpu, 100 * cpu / secs,
                plotted, plotted / secs, graph->chartView()->series(0)->count(),
                graph->logic().samples().size(), before0, before);
    graph->close();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--cpu") == 0) {
        QApplication app(argc, argv);
        return cpuRun(argc >= 3 ? std::atoi(argv[2]) : 20, argc >= 4 ? argv[3] : nullptr);
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
