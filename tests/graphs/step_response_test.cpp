#include "graphs/step_response.h"
#include "graphs/step_response_log.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace getkelo {
namespace {

// Samples of y(t) every stepMs for durationMs, t from 0 (the step).
std::vector<TimedValue> sampled(const std::function<double(double)>& y, int64_t durationMs,
                                int64_t everyMs = 10) {
    std::vector<TimedValue> v;
    for (int64_t t = 0; t <= durationMs; t += everyMs)
        v.push_back({t, y(t / 1000.0)});
    return v;
}

TEST(StepFigures, FirstOrderStepMatchesItsKnownValues) {
    const double tau = 1.0;
    auto y = [&](double t) { return 20 + 30 * (1 - std::exp(-t / tau)); }; // 20 -> 50
    StepFigures f = stepFigures(sampled(y, 10000), 0, 20, 50);
    ASSERT_TRUE(f.riseS && f.settlingS);
    EXPECT_NEAR(*f.riseS, tau * std::log(9.0), 0.005);      // 10 % .. 90 %
    EXPECT_NEAR(*f.settlingS, tau * std::log(50.0), 0.005); // into +-2 %
    EXPECT_EQ(f.overshootPct, 0);
    // A step down is measured the same way.
    auto down = [&](double t) { return 50 - 30 * (1 - std::exp(-t / tau)); };
    StepFigures g = stepFigures(sampled(down, 10000), 0, 50, 20);
    EXPECT_NEAR(*g.riseS, *f.riseS, 1e-9);
    EXPECT_NEAR(*g.settlingS, *f.settlingS, 1e-9);
}

TEST(StepFigures, StepWith20PercentOvershootMatchesItsKnownValues) {
    // 0 -> 100: up to 120 in 1 s, down to 100 at 2 s, then flat.
    auto y = [](double t) { return t < 1 ? 120 * t : t < 2 ? 120 - 20 * (t - 1) : 100.0; };
    StepFigures f = stepFigures(sampled(y, 5000), 0, 0, 100);
    ASSERT_TRUE(f.riseS && f.settlingS);
    EXPECT_NEAR(*f.riseS, 0.8 / 1.2, 1e-6);
    EXPECT_NEAR(f.overshootPct, 20, 1e-6);
    EXPECT_NEAR(*f.settlingS, 1.9, 1e-6); // 102 is passed on the way down at 1.9 s
}

TEST(StepFigures, AStepThatNeverSettlesSaysSo) {
    // A loop oscillating +-10 % around the new set point for ever.
    auto y = [](double t) { return 100 + 10 * std::sin(2 * 3.14159265 * t); };
    StepFigures f = stepFigures(sampled(y, 20000), 0, 0, 100, StepResponseLog::kHoldMs);
    EXPECT_FALSE(f.settlingS);
    EXPECT_NEAR(f.overshootPct, 10, 0.01);
    // Inside the band only at its very end is not settled either, when a hold is asked for.
    auto late = [](double t) { return t < 4.95 ? 90.0 : 100.0; };
    EXPECT_FALSE(stepFigures(sampled(late, 5000), 0, 0, 100, 1000).settlingS);
    EXPECT_TRUE(stepFigures(sampled(late, 7000), 0, 0, 100, 1000).settlingS);
    // No rise time while 90 % has not been reached.
    auto slow = [](double t) { return 50 * t; };
    EXPECT_FALSE(stepFigures(sampled(slow, 1000), 0, 0, 100).riseS);
}

TEST(StepResponseLog, KeepsTheLastFiveStepsWithTheTuningInForce) {
    StepResponseLog log;
    log.setFullScale(100);
    int64_t t = 0;
    double flow = 0, set = 0;
    // A plant that follows the set point with a 0.5 s lag, sampled every 100 ms.
    auto run = [&](double newSet, double p, int samples) {
        set = newSet;
        for (int i = 0; i < samples; ++i) {
            t += 100;
            flow += (set - flow) * (1 - std::exp(-0.1 / 0.5));
            log.feed(t, set, flow, {p, 1, 0});
        }
    };
    run(0, 1, 5);
    EXPECT_TRUE(log.steps().empty());
    run(0.5, 1, 20); // below 1 % of full scale: no step
    EXPECT_TRUE(log.steps().empty());
    run(50, 2, 100);
    ASSERT_EQ(log.steps().size(), 1u);
    const StepRecord& r = log.steps().front();
    EXPECT_EQ(r.to, 50);
    EXPECT_EQ(r.tuning.P, 2);
    EXPECT_TRUE(r.final) << "settled and held";
    ASSERT_TRUE(r.figures.riseS);
    EXPECT_NEAR(*r.figures.riseS, 0.5 * std::log(9.0), 0.1);
    for (int k = 0; k < 6; ++k)
        run(k % 2 ? 80 : 20, 10 + k, 3); // steps too quick to settle
    ASSERT_EQ(log.steps().size(), StepResponseLog::kKept);
    EXPECT_EQ(log.steps().front().tuning.P, 15) << "newest first";
    EXPECT_FALSE(log.steps().front().final) << "still watched";
    EXPECT_TRUE(log.steps()[1].final);
    EXPECT_FALSE(log.steps()[1].figures.settlingS) << "the next step came first";
    log.clear();
    EXPECT_TRUE(log.steps().empty());
}

} // namespace
} // namespace getkelo
