#pragma once
#include "console/logging/log_file.h"
#include "console/logging/log_schedule.h"
#include "console/logging/log_settings.h"
#include "console/tick_hooks.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace getkelo {

class Clock;
class DeviceList;
class UiAdapter;

// The data logger: one log file per device marked in column 11, one line per due period,
// driven by the console's polling tick through LogHook (the tick itself reports a due line
// that no marked device took). The page ("Daten-Logger") edits settings() while logging is
// off and shows running().
class DataLogger : public LogHook {
  public:
    DataLogger(DeviceList& devices, Clock& clock, UiAdapter& ui);
    ~DataLogger() override;
    DataLogger(const DataLogger&) = delete;
    DataLogger& operator=(const DataLogger&) = delete;

    LogSettings& settings() { return settings_; }
    const LogSettings& settings() const { return settings_; }

    // The working directory ("Verzeichnis"), asked at every file start.
    void setWorkDir(std::function<std::string()> workDir) { workDir_ = std::move(workDir); }
    // The console's state save, run when the operator or the schedule starts or stops logging
    // (not at a file split, which changes nothing that is saved).
    void setStateSave(std::function<void()> save) { stateSave_ = std::move(save); }
    // Called after every change the page shows: running state, "Start"/"Stop" switched off.
    void setChanged(std::function<void()> changed) { changed_ = std::move(changed); }

    // LogHook
    bool running() const override { return running_; }
    bool scheduleStep() override;
    void writeLine(int row) override;
    void rowRemoved(int row) override;
    void start() override;
    void stop() override;

    // Record button ("Aufzeichnen") and its partner ("Anhalten").
    void recordClick() { start(); }
    void stopClick() { stop(); }

    bool lineDue() const { return lineDue_; }
    // Path of the row's open file ("" when none, also when its file failed).
    std::string filePath(int row) const;
    // Log files open now (a failed file counts no more).
    int openFileCount() const;
    // A file of this recording could not be created or written (the operator was told).
    bool anyFileFailed() const;
    const LogSchedule& schedule() const { return schedule_; }

  private:
    void openFiles();
    void closeFiles();
    void reportFailures(const std::vector<std::string>& errors);
    void notify();

    DeviceList& devices_;
    Clock& clock_;
    UiAdapter& ui_;
    LogSettings settings_;
    LogSchedule schedule_;
    std::function<std::string()> workDir_;
    std::function<void()> stateSave_;
    std::function<void()> changed_;

    bool running_ = false;
    bool lineDue_ = false;
    // Indexed by list row; moves with the rows.
    std::vector<std::unique_ptr<LogFile>> files_;
    // A row whose file failed is reported once per press of the record button.
    std::vector<bool> failureReported_;
};

} // namespace getkelo
