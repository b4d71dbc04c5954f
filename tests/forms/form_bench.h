#pragma once
// The main window on the simulated demo bus, on virtual time, for the form tests.
#include "base/clock.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/forms/device_list_model.h"
#include "console/forms/tget_kelo_m.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim/sim_transport.h"
#include "ui/qt/qt_ui.h"
#include "ui/scripted_ui.h"

#include <QTemporaryDir>

#include <memory>
#include <string>

using namespace getkelo;

namespace {

const std::string kDataDir = GETKELO_DATA_DIR "/";

// Answers like ScriptedUi; with `qt` set the progress goes to the real progress window too, so
// that a test can look at it.
struct BenchUi : ScriptedUi {
    QtUi* qt = nullptr;
    void progressStart(const std::string& c, const std::string& l, int m) override {
        ScriptedUi::progressStart(c, l, m);
        if (qt) qt->progressStart(c, l, m);
    }
    void progressLabel(const std::string& l) override {
        ScriptedUi::progressLabel(l);
        if (qt) qt->progressLabel(l);
    }
    void progressPosition(int p) override {
        ScriptedUi::progressPosition(p);
        if (qt) qt->progressPosition(p);
    }
    void progressFinish(const std::string& t) override {
        ScriptedUi::progressFinish(t);
        if (qt) qt->progressFinish(t);
    }
    void progressAllowStop(const std::string& t) override {
        ScriptedUi::progressAllowStop(t);
        if (qt) qt->progressAllowStop(t);
    }
    bool progressStopRequested() override {
        return ScriptedUi::progressStopRequested() || (qt && qt->progressStopRequested());
    }
};

// A main window on the five-device demo bus, all waiting on virtual time.
struct Bench {
    QTemporaryDir dir;
    VirtualClock clock;
    BenchUi ui;
    TComm comm{clock, &ui};
    sim::SimBus bus{clock};
    std::unique_ptr<TGetKeloM> window;
    bool ended = false;

    explicit Bench(const std::string& programDir = kDataDir, bool withDevices = true) {
        if (withDevices)
            for (const auto& c : sim::demoBus())
                bus.addDevice(c);
        window = std::make_unique<TGetKeloM>(
            comm, ui, ConsolePaths{iniPath(), programDir, dir.path().toStdString() + "/"});
        window->setEndProgram([this] { ended = true; });
        sim::SimBus* b = &bus;
        window->console().setConnectionFactory([b](TComm& c) {
            return std::make_unique<TTesra>(
                c, c.AttachTransport(std::make_unique<sim::SimTransport>(*b, c.clock())));
        });
    }
    std::string iniPath() const { return dir.path().toStdString() + "/GetKelo.ini"; }
    // Runs polling ticks until start-up and the scan it began are over.
    void startAndScan() {
        window->FormShow();
        window->pollTimer()->stop();
        for (int i = 0; i < 300 && (!window->console().started() || window->console().scanning());
             ++i) {
            window->console().TimerTimer();
            window->pollTimer()->stop();
        }
        window->syncFromConsole();
    }
    QString header(int column) const {
        return window->gridModel()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
};

} // namespace
