#pragma once
#include "console/console_view.h"

#include <map>
#include <string>
#include <vector>

namespace getkelo::test {

// Records what the console shows; answers the few questions it asks from fields.
class FakeConsoleView : public ConsoleView {
  public:
    bool timerOn = false;
    int timerStarts = 0;
    bool scanDown = false;
    std::map<ConsoleControl, bool> enabled;
    std::map<ConsoleControl, bool> visible;
    std::map<ConsolePage, bool> pages;
    ConsolePage front = ConsolePage::Device;
    std::string status;
    std::string connection;
    bool connectionOk = false;
    std::string software, hardware, unitLabels;
    std::string setpointText;
    bool setpointFocus = false;
    std::vector<std::string> modeItems;
    bool scopeAll = false;
    LoggerSettings logger;
    DateTime loggerStart;
    std::vector<std::string> mixers;
    int graphW = 0, graphH = 0;
    bool flowGraph = false;
    std::vector<PressureLiveValues> pressureValues;
    int aboutShown = 0, aboutClosed = 0;
    bool ended = false;

    void startTimer() override {
        timerOn = true;
        ++timerStarts;
    }
    void stopTimer() override { timerOn = false; }
    bool timerActive() const override { return timerOn; }
    void setScanButtonDown(bool down) override { scanDown = down; }
    void setControlEnabled(ConsoleControl c, bool e) override { enabled[c] = e; }
    void setControlVisible(ConsoleControl c, bool v) override { visible[c] = v; }
    void setPageVisible(ConsolePage p, bool v) override { pages[p] = v; }
    void showPage(ConsolePage p) override { front = p; }
    ConsolePage frontPage() const override { return front; }
    void setStatusText(const std::string& t) override { status = t; }
    void setConnectionStatus(const std::string& t, bool ok) override {
        connection = t;
        connectionOk = ok;
    }
    void setVersions(const std::string& s, const std::string& h) override {
        software = s;
        hardware = h;
    }
    void setUnitLabels(const std::string& u) override { unitLabels = u; }
    void setSetpointText(const std::string& t) override { setpointText = t; }
    bool setpointHasFocus() const override { return setpointFocus; }
    void setControlModeItems(const std::vector<std::string>& items) override { modeItems = items; }
    void setPollingScope(bool all) override { scopeAll = all; }
    void setLoggerSettings(const LoggerSettings& s) override { logger = s; }
    LoggerSettings loggerSettings() const override { return logger; }
    void setLoggerStartStop(const DateTime& now) override { loggerStart = now; }
    void setMixerNames(const std::vector<std::string>& names) override { mixers = names; }
    void setGraphSize(int w, int h) override {
        graphW = w;
        graphH = h;
    }
    void graphSize(int& w, int& h) const override {
        w = graphW;
        h = graphH;
    }
    bool flowGraphShown() const override { return flowGraph; }
    void showPressureLiveValues(const PressureLiveValues& v) override {
        pressureValues.push_back(v);
    }
    void showAboutBox() override { ++aboutShown; }
    void closeAboutBox() override { ++aboutClosed; }
    void endProgram() override { ended = true; }

    bool page(ConsolePage p) const {
        auto it = pages.find(p);
        return it != pages.end() && it->second;
    }
    bool isEnabled(ConsoleControl c) const {
        auto it = enabled.find(c);
        return it != enabled.end() && it->second;
    }
};

} // namespace getkelo::test
