#include "base/date_time.h"

#include <cstdio>
#include <ctime>

namespace getkelo {

DateTime localDateTime(int64_t epochMs) {
    int64_t secs = epochMs / 1000;
    int ms = static_cast<int>(epochMs % 1000);
    if (ms < 0) {
        ms += 1000;
        secs -= 1;
    }
    time_t tt = static_cast<time_t>(secs);
    tm lt{};
    localtime_r(&tt, &lt);
    return DateTime{lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday, lt.tm_hour,
                    lt.tm_min,         lt.tm_sec,     ms};
}

int64_t toEpochMs(const DateTime& t) {
    tm lt{};
    lt.tm_year = t.year - 1900;
    lt.tm_mon = t.month - 1;
    lt.tm_mday = t.day;
    lt.tm_hour = t.hour;
    lt.tm_min = t.minute;
    lt.tm_sec = t.second;
    lt.tm_isdst = -1;
    time_t tt = mktime(&lt);
    return static_cast<int64_t>(tt) * 1000 + t.ms;
}

std::string formatDateTime(const std::string& p, const DateTime& t) {
    std::string out;
    char buf[16];
    size_t i = 0;
    auto run = [&](char c) {
        size_t n = 0;
        while (i + n < p.size() && p[i + n] == c)
            ++n;
        return n;
    };
    while (i < p.size()) {
        char c = p[i];
        size_t n =
            (c == 'd' || c == 'M' || c == 'y' || c == 'h' || c == 'm' || c == 's' || c == 'z')
                ? run(c)
                : 0;
        if (c == 'd' && n == 2)
            std::snprintf(buf, sizeof buf, "%02d", t.day);
        else if (c == 'M' && n == 2)
            std::snprintf(buf, sizeof buf, "%02d", t.month);
        else if (c == 'y' && n == 4)
            std::snprintf(buf, sizeof buf, "%04d", t.year);
        else if (c == 'y' && n == 2)
            std::snprintf(buf, sizeof buf, "%02d", t.year % 100);
        else if (c == 'h' && n == 2)
            std::snprintf(buf, sizeof buf, "%02d", t.hour);
        else if (c == 'm' && n == 2)
            std::snprintf(buf, sizeof buf, "%02d", t.minute);
        else if (c == 's' && n == 2)
            std::snprintf(buf, sizeof buf, "%02d", t.second);
        else if (c == 'z' && n == 3)
            std::snprintf(buf, sizeof buf, "%03d", t.ms);
        else {
            out += c;
            ++i;
            continue;
        }
        out += buf;
        i += n;
    }
    return out;
}

} // namespace getkelo
