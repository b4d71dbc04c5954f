#include "calib/analog_coefficients.h"

#include <cmath>

namespace getkelo {

double analogFullScale(AnalogSignal s) {
    return s == AnalogSignal::Current20mA ? 20 : s == AnalogSignal::Voltage5V ? 5 : 10;
}

const char* analogUnit(AnalogSignal s) {
    return s == AnalogSignal::Current20mA ? "mA" : "V";
}

std::string analogFullScaleText(AnalogSignal s) {
    return s == AnalogSignal::Current20mA ? "20 mA" : s == AnalogSignal::Voltage5V ? "5 V" : "10 V";
}

std::vector<double> analogPointValues(const AnalogRange& r) {
    const double fs = analogFullScale(r.signal);
    const double low = r.liveZero ? fs / 5 : 0;
    std::vector<double> v;
    for (double pct : kAnalogPercents)
        v.push_back(low + (fs - low) * pct / 100);
    return v;
}

bool AnalogRow::pass() const {
    // A hair of slack so that a value shown as the limit passes.
    return std::fabs(errorPct) <= kAnalogTolerancePct + 1e-9;
}

AnalogRow analogRow(double device, double reference, double fullScale) {
    return {device, reference, (reference - device) * 100 / fullScale};
}

AnalogCorrection correctCoefficients(AnalogSide side, AnalogFit fit, const std::vector<double>& x,
                                     const std::vector<double>& y, const AnalogCoefficients& now,
                                     double fullScale, long long k0Min, long long k0Max) {
    AnalogCorrection c;
    const size_t n = x.size();
    if (n < 2 || y.size() != n || !(fullScale > 0) || !std::isfinite(now.k1) || now.k1 == 0)
        return c;
    double mx = 0, my = 0;
    for (size_t i = 0; i < n; ++i) {
        mx += x[i] / n;
        my += y[i] / n;
    }
    double a = 1, b = y[0] - x[0];
    if (fit == AnalogFit::GainAndZero) {
        double sxy = 0, sxx = 0;
        for (size_t i = 0; i < n; ++i) {
            sxy += (x[i] - mx) * (y[i] - my);
            sxx += (x[i] - mx) * (x[i] - mx);
        }
        if (sxx <= 0) return c;
        a = sxy / sxx;
        b = my - a * mx;
    }
    // A converter that barely follows its signal is not corrected but reported.
    if (!std::isfinite(a) || !std::isfinite(b) || a < 0.5 || a > 2) return c;
    const double step = fullScale / kAnalogStepsPerScale;
    const double k0 = side == AnalogSide::Output ? now.k0 - b * now.k1 / (a * step)
                                                 : now.k0 + b / (now.k1 * step);
    const double rounded = std::round(k0);
    if (rounded < static_cast<double>(k0Min) || rounded > static_cast<double>(k0Max)) {
        c.outcome = AnalogCorrection::ZeroOutOfRange;
        return c;
    }
    c.outcome = AnalogCorrection::Corrected;
    c.next = {static_cast<long long>(rounded), now.k1 / a};
    return c;
}

} // namespace getkelo
