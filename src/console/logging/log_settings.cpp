#include "console/logging/log_settings.h"

#include "base/number_format.h"

#include <cmath>

namespace getkelo {

void LogClockTime::set(const DateTime& t) {
    day = t.day;
    month = t.month;
    year = t.year;
    hour = t.hour;
    minute = t.minute;
}

int64_t LogClockTime::epochMs() const {
    return toEpochMs(DateTime{year, month, day, hour, minute, 0, 0});
}

LogMode LogSettings::mode() const {
    switch (stored.logGroup) {
    case 1:
        return LogMode::LinesPerFile;
    case 2:
        return LogMode::Duration;
    default:
        return LogMode::Endless;
    }
}

int64_t LogSettings::periodMs() const {
    double seconds = textToDouble(stored.dZeitEdit);
    if (!(seconds > 0) || !std::isfinite(seconds)) return 500;
    // A day is the longest period that makes sense; it also keeps the product in range.
    if (seconds > 86400.0 * 365) seconds = 86400.0 * 365;
    int64_t ms = static_cast<int64_t>(std::llround(seconds * 1000.0));
    return ms > 0 ? ms : 1;
}

int LogSettings::linesPerFile() const {
    double n = textToDouble(stored.zeilenEdit);
    // Below one line a file would hold only its header before the split.
    if (!(n >= 1) || !std::isfinite(n)) return 1;
    if (n > 2e9) return 2'000'000'000;
    return static_cast<int>(n);
}

int64_t LogSettings::durationMs() const {
    int i = stored.dauerBox;
    if (i < 0 || i > 3) i = 0;
    return kLogDurationsMs[i];
}

void LogSettings::setStartStop(const DateTime& now) {
    start.set(now);
    stop.set(now);
}

} // namespace getkelo
