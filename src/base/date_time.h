#pragma once
#include <cstdint>
#include <string>

namespace getkelo {

// A local calendar time, as the operator's clock shows it.
struct DateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0, ms = 0;
};

DateTime localDateTime(int64_t epochMs);
// Local calendar time to epoch milliseconds; out-of-range fields are normalised.
int64_t toEpochMs(const DateTime& t);

// Formats with the program's patterns: "dd", "MM", "yy", "yyyy", "hh", "mm", "ss", "zzz"
// ("dd.MM.yy", "hh:mm:ss", "yyyy-dd-mm-00"); every other character is copied.
std::string formatDateTime(const std::string& pattern, const DateTime& t);

inline std::string formatShortDate(const DateTime& t) {
    return formatDateTime("dd.MM.yy", t);
}
inline std::string formatLongTime(const DateTime& t) {
    return formatDateTime("hh:mm:ss", t);
}

} // namespace getkelo
