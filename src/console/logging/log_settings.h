#pragma once
#include "base/date_time.h"
#include "console/console_settings.h"

#include <cstdint>
#include <string>

namespace getkelo {

// Recording modes of "Aufzeichnungsart".
enum class LogMode { Endless = 0, LinesPerFile = 1, Duration = 2 };

// A "Start" or "Stop" clock time of the logger page: a check box and five fields.
struct LogClockTime {
    bool enabled = false;
    int day = 1, month = 1, year = 2000, hour = 0, minute = 0;

    void set(const DateTime& t);
    // The fields as a local time with seconds 0, in epoch milliseconds.
    int64_t epochMs() const;
};

// The data model of the "Daten-Logger" page. The values kept in the settings file are the
// console's LoggerSettings (section "Init"); the start and stop times live only for the run.
struct LogSettings {
    LoggerSettings stored;
    LogClockTime start, stop;

    static LogSettings fromStored(const LoggerSettings& s) { return LogSettings{s, {}, {}}; }

    LogMode mode() const;
    // The interval in milliseconds; "0" (and anything not above 0) means 500 ms.
    int64_t periodMs() const;
    // Lines per file in mode "Zeilen / Datei:", at least 1.
    int linesPerFile() const;
    // File duration in mode "Datei /": 1 min, 1 h, 1 day, 7 days by "DauerBox".
    int64_t durationMs() const;

    // Start and stop fields filled with this local time (start-up).
    void setStartStop(const DateTime& now);
};

// The four file durations in milliseconds.
inline constexpr int64_t kLogDurationsMs[4] = {60'000, 3'600'000, 86'400'000, 604'800'000};

} // namespace getkelo
