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
class TextSource;
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
    // The polling scope: with only the selected device polled, a start needs that device
    // marked (the others would get header-only files). Unset: all devices are polled.
    void setPollAll(std::function<bool()> pollAll) { pollAll_ = std::move(pollAll); }
    // The language texts of the logger's messages (without, the German ones are shown).
    void setTexts(const TextSource* texts) { texts_ = texts; }

    // LogHook
    bool running() const override { return running_; }
    bool scheduleStep() override;
    void writeLine(int row) override;
    void rowRemoved(int row) override;
    // Starts only when it can record: a marked device, polled, and at least one file made;
    // otherwise the operator is told why and the logger stays stopped.
    void start() override;
    void stop() override;
    // Stops because no marked device was polled: files without a data line are removed.
    void stopNoDevice() override;

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
    // The running recording: data lines written since the record button (all files, all
    // splits) and when it started.
    int64_t linesWritten() const { return linesWritten_; }
    int64_t startedMs() const { return startedMs_; }
    int64_t clockNowMs() const;
    // Paths of the files open now, in row order.
    std::vector<std::string> openFilePaths() const;
    // "Gerät 1001 (Adresse 3)": how a message names the device of a row.
    std::string deviceName(int row) const;
    const LogSchedule& schedule() const { return schedule_; }

  private:
    void openFiles();
    void closeFiles();
    void reportFailures(const std::vector<std::string>& errors);
    void notify();
    // Why a start cannot record, or "".
    std::string startRefusal() const;
    std::string msg(const char* key, const char* german) const;
    std::string failureText(const LogFile& file) const;

    DeviceList& devices_;
    Clock& clock_;
    UiAdapter& ui_;
    LogSettings settings_;
    LogSchedule schedule_;
    std::function<std::string()> workDir_;
    std::function<void()> stateSave_;
    std::function<void()> changed_;
    std::function<bool()> pollAll_;
    const TextSource* texts_ = nullptr;
    int64_t linesWritten_ = 0;
    int64_t startedMs_ = 0;

    bool running_ = false;
    bool lineDue_ = false;
    // Indexed by list row; moves with the rows.
    std::vector<std::unique_ptr<LogFile>> files_;
    // A row whose file failed is reported once per press of the record button.
    std::vector<bool> failureReported_;
};

} // namespace getkelo
