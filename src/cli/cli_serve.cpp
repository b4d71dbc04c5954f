#include "automation/automation_server.h"
#include "automation/serving_clock.h"
#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/cli_terminal_ui.h"
#include "console/console.h"
#include "console/headless_view.h"
#include "console/logging/data_logger.h"

#include <cstdlib>
#include <iostream>

namespace getkelo::cli {

namespace {

constexpr int kTimerMs = 100; // the console's polling timer

// The settings file's logger settings go to the data logger, as the logger page would pass them.
class ServeView final : public HeadlessView {
  public:
    void setLogger(DataLogger* logger) { logger_ = logger; }
    void setLoggerSettings(const LoggerSettings& s) override { logger_->settings().stored = s; }
    LoggerSettings loggerSettings() const override {
        LoggerSettings s = logger_->settings().stored;
        s.log = logger_->running();
        return s;
    }

  private:
    DataLogger* logger_ = nullptr;
};

// The console's messages that can come up without a window.
MapTextSource serveTexts() {
    return MapTextSource({{"InfoNoLogDevice", "No device is marked for logging!"},
                          {"SetPointError", "Setpoint out of range!"},
                          {"NewSetPoint", "New setpoint"}});
}

int runServe(CliContext& context) {
    ServingClock clock(systemClock());
    context.useClock(clock);
    const std::string ini = context.iniPath();
    const std::string dir = ini.substr(0, ini.rfind('/') + 1);
    const char* home = std::getenv("HOME");
    TerminalUi ui("serve", 0);
    const MapTextSource texts = serveTexts();
    ServeView view;
    Console console(context.comm(), view, ui, texts,
                    {ini, dir, std::string(home ? home : "") + "/"});
    DataLogger logger(console.devices(), clock, ui);
    logger.setWorkDir([&console] { return console.settings().workDir; });
    logger.setStateSave([&console] { console.saveState(); });
    view.setLogger(&logger);
    console.setLogHook(&logger);

    // The socket first: a second serve must not disturb the port of the first one.
    AutomationServer server(console, clock);
    const std::string path = context.socketPath();
    switch (server.listen(path)) {
    case AutomationListener::Outcome::Listening:
        break;
    case AutomationListener::Outcome::InUse:
        printError("serve: a console is already running on " + path);
        return kExitFailure;
    case AutomationListener::Outcome::Failed:
        printError("serve: " + server.listener().error());
        return kExitFailure;
    }
    if (!context.open()) return kExitFailure;
    console.setConnectionFactory([&context](TComm&) { return context.takeConnection(); });
    clock.setServer(&server);
    console.setRequestHook(&server);

    // The console's probe unlocks the devices; SIGINT and SIGTERM end the loop below.
    context.beginProbing();
    // The socket answers at once; the stored devices come back one per tick.
    console.setRestoreInTicks(true);
    console.FormShow();
    bool announced = false;
    while (!context.stopSignal()) {
        // Scripts may start once the devices of the last run are back (or the scan ended).
        if (!announced && console.started() && !console.scanning()) {
            std::cout << "serving " << path << std::endl;
            announced = true;
        }
        // The timer's interval: the socket is served, and its requests run at once.
        const int64_t end = clock.nowMs() + kTimerMs;
        for (int64_t left = kTimerMs; left > 0 && !context.stopSignal(); left = end - clock.nowMs())
            if (systemClock().waitFd(server.pollFd(), false, static_cast<int>(left)))
                server.serveIdle();
        if (context.stopSignal()) break;
        console.setPollAll(true); // the scope "Alle Geräte simultan", whatever the file says
        console.TimerTimer();
    }
    // As the console's exit: every device relocked, the state saved; the log files closed.
    if (logger.running()) logger.stop();
    console.BeendenMnuClick();
    server.close();
    clock.setServer(nullptr);
    return kExitOk;
}

} // namespace

void addServeCommand(CliApp& app) {
    app.addCommand("serve",
                   "hold the bus as the console does, without a window: poll\n"
                   "all devices of the settings file (or scan for them) and\n"
                   "serve scripts on the console's socket (--socket);\n"
                   "prints \"serving PATH\" once the devices are back, runs\n"
                   "until SIGINT or SIGTERM",
                   [](CliContext& c) { return runServe(c); });
}

} // namespace getkelo::cli
