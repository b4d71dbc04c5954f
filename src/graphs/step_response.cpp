#include "graphs/step_response.h"

#include <algorithm>
#include <cmath>

namespace getkelo {

namespace {

// Time at which the normalised response crosses `level` between points a and b.
double crossing(const TimedValue& a, double ra, const TimedValue& b, double rb, double level) {
    if (rb == ra) return static_cast<double>(b.tMs);
    const double f = (level - ra) / (rb - ra);
    return a.tMs + f * static_cast<double>(b.tMs - a.tMs);
}

} // namespace

StepFigures stepFigures(const std::vector<TimedValue>& points, int64_t stepMs, double from,
                        double to, int64_t holdMs) {
    StepFigures f;
    const double step = to - from;
    if (points.empty() || step == 0 || !std::isfinite(step)) return f;
    // Normalised: 0 before the step, 1 at the new set point, whatever the step's direction.
    std::vector<double> r(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        r[i] = (points[i].value - from) / step;

    // Rise: the first crossings of 10 % and of 90 %.
    std::optional<double> t10, t90;
    for (size_t i = 0; i < points.size() && !t90; ++i) {
        const bool first = i == 0;
        if (!t10 && r[i] >= 0.1)
            t10 = first ? double(points[i].tMs)
                        : crossing(points[i - 1], r[i - 1], points[i], r[i], 0.1);
        if (t10 && r[i] >= 0.9)
            t90 = first ? double(points[i].tMs)
                        : crossing(points[i - 1], r[i - 1], points[i], r[i], 0.9);
    }
    if (t10 && t90) f.riseS = (*t90 - *t10) / 1000.0;

    const double peak = *std::max_element(r.begin(), r.end());
    f.overshootPct = peak > 1 ? (peak - 1) * 100 : 0;

    // Settling: after the last point outside the band.
    auto outside = [&](size_t i) { return std::fabs(r[i] - 1) > kSettlingBand; };
    if (outside(points.size() - 1)) return f;
    size_t lastOut = points.size();
    for (size_t i = points.size(); i-- > 0;)
        if (outside(i)) {
            lastOut = i;
            break;
        }
    double entered;
    if (lastOut == points.size()) {
        entered = static_cast<double>(points.front().tMs);
    } else {
        const size_t i = lastOut + 1;
        const double level = r[lastOut] > 1 ? 1 + kSettlingBand : 1 - kSettlingBand;
        entered = crossing(points[lastOut], r[lastOut], points[i], r[i], level);
    }
    if (static_cast<double>(points.back().tMs) - entered < static_cast<double>(holdMs)) return f;
    f.settlingS = std::max(0.0, (entered - static_cast<double>(stepMs)) / 1000.0);
    return f;
}

} // namespace getkelo
