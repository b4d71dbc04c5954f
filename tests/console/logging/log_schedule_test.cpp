#include "console/logging/log_schedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace getkelo {
namespace {

constexpr int64_t kT0 = 1'709'647'629'000; // some local day, whole second

LogSettings settingsWith(const std::string& interval, int mode = 0) {
    LogSettings s;
    s.stored.dZeitEdit = interval;
    s.stored.logGroup = mode;
    return s;
}

// Runs ticks at the given offsets from kT0; returns the offsets of the due lines' grid times.
std::vector<int64_t> dueLines(LogSettings& s, LogSchedule& sch, const std::vector<int64_t>& at) {
    std::vector<int64_t> out;
    for (int64_t t : at)
        if (sch.step(s, kT0 + t).lineDue) out.push_back(sch.lineTimeMs() - kT0);
    return out;
}

TEST(LogSettings, IntervalLinesAndDurationFromTheirTexts) {
    struct Case {
        std::string interval;
        int64_t periodMs;
    };
    for (const Case& c :
         {Case{"0", 500}, Case{"", 500}, Case{"-2", 500}, Case{"abc", 500}, Case{"1", 1000},
          Case{"1.5", 1500}, Case{"1,5", 1500}, Case{"0.1", 100}}) {
        EXPECT_EQ(settingsWith(c.interval).periodMs(), c.periodMs) << c.interval;
    }
    LogSettings s;
    for (auto [text, lines] : {std::pair{"100", 100}, {"0", 1}, {"-5", 1}, {"x", 1}, {"7", 7}}) {
        s.stored.zeilenEdit = text;
        EXPECT_EQ(s.linesPerFile(), lines) << text;
    }
    const int64_t durations[] = {60'000, 3'600'000, 86'400'000, 604'800'000};
    for (int i = 0; i < 4; ++i) {
        s.stored.dauerBox = i;
        EXPECT_EQ(s.durationMs(), durations[i]);
    }
    s.stored.dauerBox = 9;
    EXPECT_EQ(s.durationMs(), 60'000);
}

TEST(LogSchedule, IntervalZeroGivesALineEveryHalfSecondWithHundredMillisecondTicks) {
    LogSettings s = settingsWith("0");
    LogSchedule sch;
    sch.begin(s, kT0);
    std::vector<int64_t> ticks;
    for (int64_t t = 0; t <= 2000; t += 100)
        ticks.push_back(t);
    EXPECT_EQ(dueLines(s, sch, ticks), (std::vector<int64_t>{0, 500, 1000, 1500, 2000}));
}

TEST(LogSchedule, LateTicksKeepTheGridInsteadOfDrifting) {
    LogSettings s = settingsWith("1");
    LogSchedule sch;
    sch.begin(s, kT0);
    EXPECT_EQ(dueLines(s, sch, {0, 900, 1300, 2100, 2950, 3050}),
              (std::vector<int64_t>{0, 1000, 2000, 3000}));
}

TEST(LogSchedule, MissedPeriodsAreSkippedNotBackfilledWithStaleTimes) {
    LogSettings s = settingsWith("1");
    LogSchedule sch;
    sch.begin(s, kT0);
    EXPECT_EQ(dueLines(s, sch, {0, 5300, 5400, 5900, 6000}), (std::vector<int64_t>{0, 5000, 6000}));
}

TEST(LogSchedule, StartTimeAheadHoldsLinesBackUntilItPasses) {
    LogSettings s = settingsWith("0");
    s.start.enabled = true;
    s.start.set(localDateTime(kT0 + 60'000)); // the next minute (seconds are dropped)
    const int64_t startMs = s.start.epochMs();
    LogSchedule sch;
    sch.begin(s, kT0);
    int64_t first = -1;
    for (int64_t t = kT0; t < kT0 + 200'000 && first < 0; t += 100)
        if (sch.step(s, t).lineDue) first = sch.lineTimeMs();
    EXPECT_GT(first, startMs);
    EXPECT_LE(first, startMs + 500);
    EXPECT_FALSE(s.start.enabled);
}

TEST(LogSchedule, DurationSplitsWhenTheLineIsPastTheFilesSpan) {
    LogSettings s = settingsWith("10", 2);
    s.stored.dauerBox = 0; // one minute
    LogSchedule sch;
    sch.begin(s, kT0);
    std::vector<int64_t> splits;
    for (int64_t t = 0; t <= 200'000; t += 10'000) {
        LogStep st = sch.step(s, kT0 + t);
        if (st.split) {
            splits.push_back(t);
            sch.filesOpened(s, kT0 + t);
        }
    }
    EXPECT_EQ(splits, (std::vector<int64_t>{70'000, 140'000}));
}

} // namespace
} // namespace getkelo
