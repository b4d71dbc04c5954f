#pragma once
#include "console/console_view.h"

namespace getkelo {

// The console without a window (the CLI's serve, benchmarks): nothing is shown; the few
// questions the console asks are answered from what it last set.
class HeadlessView : public ConsoleView {
  public:
    void startTimer() override { timerOn_ = true; }
    void stopTimer() override { timerOn_ = false; }
    bool timerActive() const override { return timerOn_; }
    void setScanButtonDown(bool) override {}
    void setControlEnabled(ConsoleControl, bool) override {}
    void setControlVisible(ConsoleControl, bool) override {}
    void setPageVisible(ConsolePage, bool) override {}
    void showPage(ConsolePage page) override { front_ = page; }
    ConsolePage frontPage() const override { return front_; }
    void setStatusText(const std::string&) override {}
    void setVersions(const std::string&, const std::string&) override {}
    void setUnitLabels(const std::string&) override {}
    void setSetpointText(const std::string&) override {}
    bool setpointHasFocus() const override { return false; }
    void setControlModeItems(const std::vector<std::string>&) override {}
    void setPollingScope(bool) override {}
    void setLoggerSettings(const LoggerSettings& s) override { logger_ = s; }
    LoggerSettings loggerSettings() const override { return logger_; }
    void setLoggerStartStop(const DateTime&) override {}
    void setMixerNames(const std::vector<std::string>&) override {}
    void setGraphSize(int w, int h) override { graphW_ = w, graphH_ = h; }
    void graphSize(int& w, int& h) const override { w = graphW_, h = graphH_; }
    bool flowGraphShown() const override { return false; }
    void showPressureLiveValues(const PressureLiveValues&) override {}
    void showAboutBox() override {}
    void closeAboutBox() override {}
    void endProgram() override {}

  private:
    bool timerOn_ = false;
    ConsolePage front_ = ConsolePage::Device;
    LoggerSettings logger_;
    int graphW_ = 643, graphH_ = 483;
};

} // namespace getkelo
