// getkelo: the operator console.
#include "app/app_paths.h"
#include "automation/automation_server.h"
#include "automation/automation_startup.h"
#include "automation/forms/automation_notifier.h"
#include "automation/serving_clock.h"
#include "automation/socket_path.h"
#include "base/clock.h"
#include "base/ini_file.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/forms/tget_kelo_m.h"
#include "sim/bootloader.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim/sim_transport.h"
#include "ui/qt/qt_ui.h"
#include "update/update_menus.h"

#include <QApplication>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#ifndef GETKELO_BUILD_DATA_DIR
#define GETKELO_BUILD_DATA_DIR ""
#endif

namespace {

const char* kUsage =
    "usage: getkelo [--demo] [--config DIR] [--help]\n"
    "  --demo        run on a built-in simulated bus of five devices, with settings of its own\n"
    "  --config DIR  keep GetKelo.ini in DIR (default: $XDG_CONFIG_HOME/getkelo)\n";

struct Options {
    bool demo = false;
    bool help = false;
    std::string config;
    std::string error;
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--demo") {
            o.demo = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--config" && i + 1 < argc) {
            o.config = argv[++i];
        } else if (a.rfind("--config=", 0) == 0) {
            o.config = a.substr(9);
        } else if (a.size() > 1 && a[0] == '-' && a[1] != '-') {
            // Qt's own options (-platform offscreen, -style fusion ...) are left to
            // QApplication, with their value.
            if (i + 1 < argc && argv[i + 1][0] != '-') ++i;
        } else {
            o.error = "getkelo: unknown argument " + a;
        }
    }
    return o;
}

} // namespace

// The demo's update folder (in its own settings folder) with a test firmware file, so the
// firmware update can be tried on the simulated series-4 devices.
static void prepareDemoUpdateFolder(const std::string& iniPath, const std::string& folder) {
    namespace fs = std::filesystem;
    getkelo::IniFile ini(iniPath);
    if (ini.readString("Programm", "UpdateVerzeichnis").empty())
        ini.writeString("Programm", "UpdateVerzeichnis", folder);
    const fs::path dir = ini.readString("Programm", "UpdateVerzeichnis");
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".rfw") return;
    const auto image =
        getkelo::sim::makeTestFirmware(getkelo::sim::versionWord("4.4.00"), 48 * 1024);
    std::ofstream(dir / "Tesra_4.4.00.rfw", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
}

int main(int argc, char** argv) {
    const Options opt = parse(argc, argv);
    if (opt.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!opt.error.empty()) {
        std::fprintf(stderr, "%s\n%s", opt.error.c_str(), kUsage);
        return 2;
    }

    QApplication app(argc, argv);
    // Qt takes the operator's locale for everything; numbers must keep "." as the decimal point
    // (device texts, files, and the C library conversions below the widgets).
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(opt.demo ? "getkelo-demo" : "getkelo");

    using namespace getkelo;
    AppPaths paths;
    paths.configDir = settingsFolder(opt.config, opt.demo ? "getkelo-demo" : "getkelo");
    if (paths.configDir.empty()) {
        std::fprintf(stderr, "getkelo: cannot create the settings folder\n");
        return 1;
    }
    paths.programDir =
        dataFolder(QCoreApplication::applicationDirPath().toStdString(), GETKELO_BUILD_DATA_DIR);
    const char* home = std::getenv("HOME");
    paths.homeDir = withSlash(home ? home : "");

    QtUi ui;
    // The console's waits also serve the automation socket (scripts sharing the bus).
    ServingClock clock(systemClock());
    TComm comm(clock, &ui);

    std::unique_ptr<sim::SimBus> demoBus;
    if (opt.demo) {
        prepareDemoUpdateFolder(paths.configDir + "GetKelo.ini", paths.configDir + "SWUpdate/");
        demoBus = std::make_unique<sim::SimBus>(systemClock());
        for (const auto& config : sim::demoBus())
            demoBus->addDevice(config);
    }

    TGetKeloM window(comm, ui, {paths.configDir + "GetKelo.ini", paths.programDir, paths.homeDir});
    ui.setParent(&window);
    if (demoBus) {
        window.setWindowTitle("GetKelo - Demo");
        sim::SimBus* bus = demoBus.get();
        window.console().setLinkName([] { return std::string("Demo (getkelo-sim)"); });
        window.console().setConnectionFactory([bus](TComm& c) {
            TChannel channel =
                c.AttachTransport(std::make_unique<sim::SimTransport>(*bus, c.clock()));
            return std::make_unique<TTesra>(c, channel);
        });
        // The firmware update talks to the same bus's bootloaders.
        window.updateLink().setChannelFactory([bus](TComm& c) {
            return c.AttachTransport(std::make_unique<sim::SimTransport>(*bus, c.clock()));
        });
    }

    AutomationServer automation(window.console(), clock);
    clock.setServer(&automation);
    window.console().setRequestHook(&automation);
    AutomationNotifier notifier(automation, [&window] { return window.timerActive(); });
    const std::string socketPath =
        automationSocketPath(paths.configDir, opt.demo ? "getkelo-demo" : "getkelo");

    window.show();
    // Once start-up is over (texts loaded, the devices of the last run back), so that a
    // message about the socket does not meet the start-up notice.
    QTimer startSocket;
    QObject::connect(&startSocket, &QTimer::timeout, &window, [&] {
        if (!window.console().started()) return;
        startSocket.stop();
        startAutomationSocket(automation, socketPath, ui, window.texts());
    });
    startSocket.start(100);
    const int status = app.exec();
    clock.setServer(nullptr);
    return status;
}
