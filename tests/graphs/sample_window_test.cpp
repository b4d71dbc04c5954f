#include "graphs/sample_window.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace getkelo {
namespace {

Sample sampleNo(int n) {
    Sample s;
    s.tMs = 1000 * n;
    s.y = {double(n), 2.0 * n, 0.5 * n};
    return s;
}

TEST(SampleWindow, The2001stSampleRemovesTheFirstAndNothingHoldsMoreThan2001) {
    SampleWindow w;
    for (int n = 1; n <= 2000; ++n)
        ASSERT_FALSE(w.append(sampleNo(n))) << n;
    EXPECT_EQ(w.size(), 2000u);
    EXPECT_TRUE(w.append(sampleNo(2001)));
    EXPECT_EQ(w.front().tMs, 2000) << "sample 1 went, sample 2 is the oldest";
    EXPECT_EQ(w.back().tMs, 2001000);
    for (int n = 2002; n <= 7000; ++n) {
        w.append(sampleNo(n));
        ASSERT_LE(w.size(), 2001u);
    }
    EXPECT_EQ(w.front().tMs, 5001000);
}

TEST(SampleWindow, ExtentsFollowTheWindowAsOldSamplesLeave) {
    SampleWindow w;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(-50, 150);
    for (int n = 0; n < 6000; ++n) {
        Sample s;
        s.tMs = n;
        s.y = {value(rng), value(rng), value(rng)};
        w.append(s);
        if (n % 97 != 0) continue;
        for (int k = 0; k < kSeriesCount; ++k) {
            double lo = 1e9, hi = -1e9;
            for (const Sample& x : w.samples()) {
                lo = std::min(lo, x.y[k]);
                hi = std::max(hi, x.y[k]);
            }
            ASSERT_EQ(w.minOf(k), lo) << n;
            ASSERT_EQ(w.maxOf(k), hi) << n;
        }
    }
    w.clear();
    EXPECT_EQ(w.maxOf(0), 0);
    w.append(sampleNo(3));
    EXPECT_EQ(w.minOf(1), 6);
}

} // namespace
} // namespace getkelo
