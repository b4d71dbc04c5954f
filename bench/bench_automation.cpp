// The automation socket while the console polls the five demo devices in real time (the
// in-process simulated bus, DelayMs 100 per read as in the console): how long a script waits
// for the answer to `values`. The console runs on its own thread as in getkelo-cli serve;
// the benchmark thread is the script.
#include "automation/automation_client.h"
#include "automation/automation_server.h"
#include "automation/serving_clock.h"
#include "base/ini_file.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/console.h"
#include "console/headless_view.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim/sim_transport.h"
#include "ui/scripted_ui.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <unistd.h>

using namespace getkelo;

namespace {

// The console polling on its own thread, with the socket in a scratch folder.
class PollingConsole {
  public:
    PollingConsole()
        : dir_((std::filesystem::temp_directory_path() /
                ("getkelo-bench-automation-" + std::to_string(getpid())))
                   .string()),
          clock_(systemClock()), comm_(clock_), bus_(systemClock()),
          console_(comm_, view_, ui_, texts_, ConsolePaths{dir_ + "/GetKelo.ini", dir_, dir_}),
          server_(console_, clock_) {
        std::filesystem::create_directories(dir_);
        {
            IniFile f(dir_ + "/GetKelo.ini");
            IniFile::Batch b(f);
            f.writeBool("Init", "Multi", true);
            for (int a = 1; a <= 5; ++a)
                f.writeInteger("Init", "tesra_" + std::to_string(a), a);
        }
        for (const auto& c : sim::demoBus())
            bus_.addDevice(c);
        console_.setConnectionFactory([this](TComm& c) {
            return std::make_unique<TTesra>(
                c, c.AttachTransport(std::make_unique<sim::SimTransport>(bus_, c.clock())));
        });
        clock_.setServer(&server_);
        console_.setRequestHook(&server_);
        server_.listen(socketPath());
        thread_ = std::thread([this] {
            console_.FormShow();
            started_ = true;
            while (!stop_) {
                clock_.sleepMs(100);
                console_.TimerTimer();
                ++ticks_;
            }
        });
        while (!started_)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~PollingConsole() {
        stop_ = true;
        thread_.join();
        clock_.setServer(nullptr);
        server_.close();
        std::filesystem::remove_all(dir_);
    }
    std::string socketPath() const { return dir_ + "/console.sock"; }
    int devices() const { return console_.devices().count(); }
    int ticks() const { return ticks_; }

  private:
    std::string dir_;
    ServingClock clock_;
    TComm comm_;
    sim::SimBus bus_;
    HeadlessView view_;
    ScriptedUi ui_;
    MapTextSource texts_;
    Console console_;
    AutomationServer server_;
    std::thread thread_;
    std::atomic<bool> started_{false}, stop_{false};
    std::atomic<int> ticks_{0};
};

void BM_ValuesWhileThePollingRuns(benchmark::State& state) {
    PollingConsole console;
    if (console.devices() != 5) state.SkipWithError("demo bus not found");
    AutomationClient client;
    if (!client.connect(console.socketPath())) state.SkipWithError("no socket");
    std::vector<double> us;
    const int ticksBefore = console.ticks();
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        Json answer = client.request({{"op", "values"}});
        auto t1 = std::chrono::steady_clock::now();
        if (!answer.value("ok", false)) state.SkipWithError("no answer");
        const double s = std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(s);
        us.push_back(s * 1e6);
        // A script that asks a few times a second, across the whole tick.
        std::this_thread::sleep_for(std::chrono::milliseconds(7));
    }
    std::sort(us.begin(), us.end());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[us.size() * 99 / 100];
    state.counters["max_us"] = us.back();
    state.counters["ticks"] = console.ticks() - ticksBefore;
}
BENCHMARK(BM_ValuesWhileThePollingRuns)
    ->UseManualTime()
    ->Iterations(1000)
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
