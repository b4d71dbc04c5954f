#pragma once
#include "console/logging/log_settings.h"

#include <cstdint>

namespace getkelo {

// What one tick of the schedule decided.
struct LogStep {
    bool lineDue = false; // every marked device that polls well writes a line
    bool stop = false;    // the stop time passed: logging ends ("Stop" was switched off)
    bool split = false;   // close the files and open new ones before writing this line
};

// When log lines are due. Lines keep to a grid of the period that starts at the first due
// tick: a tick that comes late writes its line with the grid time, and the next line is due
// one period after that grid time, so the lines do not drift with the tick's own timing.
class LogSchedule {
  public:
    // Logging starts (record button): no line yet, no lines counted, the file start time and
    // the stop time taken from the settings.
    void begin(const LogSettings& settings, int64_t nowMs);
    // New files were opened by a split: counting and the file start time begin again.
    void filesOpened(const LogSettings& settings, int64_t nowMs);

    // One polling tick. Switches "Start" off once the start time has passed and "Stop" off
    // when the stop time is reached.
    LogStep step(LogSettings& settings, int64_t nowMs);

    // The grid time of the current line (0 before the first line).
    int64_t lineTimeMs() const { return lineTime_; }
    int64_t fileStartMs() const { return fileStart_; }
    int linesCounted() const { return counter_; }

  private:
    int64_t lineTime_ = 0;
    int64_t fileStart_ = 0;
    int64_t stopTime_ = 0;
    int counter_ = 0;
};

} // namespace getkelo
