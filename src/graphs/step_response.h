#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace getkelo {

// The figures of one set-point step, measured from the plotted samples.
struct StepFigures {
    // From 10 % to 90 % of the step; none while (or when) 90 % is never reached.
    std::optional<double> riseS;
    // Peak beyond the new set point in % of the step; 0 when the response never passes it.
    double overshootPct = 0;
    // From the step until the response stays inside the band of +-2 % of the step around the
    // new set point; none when it never stays there.
    std::optional<double> settlingS;
};

struct TimedValue {
    int64_t tMs;
    double value;
};

inline constexpr double kSettlingBand = 0.02;

// Figures of a step from `from` to `to` at time stepMs; points are the measured values from
// the step on, in time order. Crossing times are interpolated between samples. The response
// counts as settled only when it has stayed in the band for at least holdMs up to the last
// point, so a response that merely passes through the band at the end has not settled.
StepFigures stepFigures(const std::vector<TimedValue>& points, int64_t stepMs, double from,
                        double to, int64_t holdMs = 0);

} // namespace getkelo
