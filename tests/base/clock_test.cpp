#include "base/clock.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace getkelo;

TEST(VirtualClock, SleepsCostNoRealTime) {
    VirtualClock c(1000);
    c.sleepMs(1100);
    EXPECT_EQ(c.nowMs(), 2100);
    EXPECT_EQ(c.sleptMs(), 1100);
}

TEST(VirtualClock, WaitFdReturnsAtOnceWhenBytesAreThere) {
    int p[2];
    ASSERT_EQ(pipe(p), 0);
    VirtualClock c(0);
    EXPECT_FALSE(c.waitFd(p[0], false, 10));
    EXPECT_EQ(c.nowMs(), 10);
    ASSERT_EQ(write(p[1], "x", 1), 1);
    EXPECT_TRUE(c.waitFd(p[0], false, 10));
    EXPECT_EQ(c.nowMs(), 10);
    close(p[0]);
    close(p[1]);
}

TEST(SystemClock, WaitFdWakesWhenReadable) {
    int p[2];
    ASSERT_EQ(pipe(p), 0);
    ASSERT_EQ(write(p[1], "x", 1), 1);
    int64_t t0 = systemClock().nowMs();
    EXPECT_TRUE(systemClock().waitFd(p[0], false, 1000));
    EXPECT_LT(systemClock().nowMs() - t0, 500);
    close(p[0]);
    close(p[1]);
}
