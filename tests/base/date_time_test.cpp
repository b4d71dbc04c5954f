#include "base/date_time.h"

#include <gtest/gtest.h>

using namespace getkelo;

TEST(DateTime, ProgramPatterns) {
    DateTime t{2024, 3, 5, 14, 7, 9, 42};
    EXPECT_EQ(formatShortDate(t), "05.03.24");
    EXPECT_EQ(formatLongTime(t), "14:07:09");
    EXPECT_EQ(formatDateTime("yyyy-dd-mm-00", t), "2024-05-07-00");
    EXPECT_EQ(formatDateTime("hh:mm:ss.zzz", t), "14:07:09.042");
}

TEST(DateTime, LocalRoundTrip) {
    DateTime t{2024, 3, 5, 14, 7, 9, 500};
    DateTime back = localDateTime(toEpochMs(t));
    EXPECT_EQ(back.year, 2024);
    EXPECT_EQ(back.month, 3);
    EXPECT_EQ(back.day, 5);
    EXPECT_EQ(back.hour, 14);
    EXPECT_EQ(back.minute, 7);
    EXPECT_EQ(back.second, 9);
    EXPECT_EQ(back.ms, 500);
}
