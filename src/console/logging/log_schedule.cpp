#include "console/logging/log_schedule.h"

namespace getkelo {

void LogSchedule::begin(const LogSettings& settings, int64_t nowMs) {
    lineTime_ = 0;
    counter_ = 0;
    if (settings.mode() == LogMode::Duration && !settings.start.enabled)
        fileStart_ = nowMs;
    else
        fileStart_ = settings.start.epochMs();
    stopTime_ = settings.stop.epochMs();
}

void LogSchedule::filesOpened(const LogSettings& settings, int64_t nowMs) {
    counter_ = 0;
    if (settings.mode() == LogMode::Duration && !settings.start.enabled) fileStart_ = nowMs;
}

LogStep LogSchedule::step(LogSettings& settings, int64_t nowMs) {
    LogStep out;
    const int64_t period = settings.periodMs();
    int64_t overshoot = 0;
    if (lineTime_ != 0) {
        overshoot = nowMs - lineTime_ - period;
        if (overshoot < 0) return out;
        // Periods the ticks missed (the timer was stopped by a dialog, a slow bus) are skipped
        // rather than filled with lines that would carry old times and today's values.
        if (overshoot >= period) overshoot %= period;
    }
    lineTime_ = nowMs - overshoot;

    if (settings.start.enabled) {
        if (fileStart_ >= lineTime_) return out;
        settings.start.enabled = false;
    }
    if (settings.stop.enabled && lineTime_ > stopTime_) {
        settings.stop.enabled = false;
        out.stop = true;
        return out;
    }
    if (settings.mode() == LogMode::LinesPerFile) {
        ++counter_;
        // The first files hold the given number of lines; later ones start with the line that
        // split them and so hold one more.
        if (counter_ > settings.linesPerFile()) out.split = true;
    } else if (settings.mode() == LogMode::Duration) {
        if (lineTime_ - fileStart_ > settings.durationMs()) out.split = true;
    }
    out.lineDue = true;
    return out;
}

} // namespace getkelo
