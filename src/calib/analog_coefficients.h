#pragma once
#include <string>
#include <vector>

namespace getkelo {

// The signals of the analog checks and the correction of their coefficients.
//
// Both converters count 2^20 steps over the full scale of their signal; k0 is a zero in these
// steps, k1 a gain factor. The output puts out A * (v * DACk1 + DACk0 steps) + B for a
// commanded v; the input shows ADCk1 * (A * s + B - ADCk0 steps) for an applied s, with A and
// B the converter's unknown gain and zero errors. A straight line y = a x + b through the
// check's points (x the true signal, y what was measured or shown) therefore gives the
// coefficients that undo A and B:
//   output: DACk1' = DACk1 / a,  DACk0' = DACk0 - b * DACk1 / (a * step)
//   input:  ADCk1' = ADCk1 / a,  ADCk0' = ADCk0 + b / (ADCk1 * step)
// Calibrating fits a and b by least squares over all six points; adjusting keeps the gain
// (a = 1) and takes b as the deviation at the first point (0 % of the span), so it only moves
// the zero.
enum class AnalogSignal { Current20mA, Voltage5V, Voltage10V };

struct AnalogRange {
    AnalogSignal signal = AnalogSignal::Current20mA;
    bool liveZero = false; // "20..100%": the span starts at a fifth of the full scale
    bool operator==(const AnalogRange&) const = default;
};

inline constexpr int kAnalogPoints = 6;
inline constexpr double kAnalogPercents[kAnalogPoints] = {0, 10, 25, 50, 75, 100};
inline constexpr double kAnalogStepsPerScale = 1 << 20;
// A point passes when its error is at most this many percent of the full scale.
inline constexpr double kAnalogTolerancePct = 0.5;

double analogFullScale(AnalogSignal s);
const char* analogUnit(AnalogSignal s); // "mA" or "V"
// "20 mA", "5 V", "10 V": the full scale as the type code names it.
std::string analogFullScaleText(AnalogSignal s);
// The signal at 0, 10, 25, 50, 75 and 100 % of the span.
std::vector<double> analogPointValues(const AnalogRange& r);

// One grid row: the device's value, the reference's, the error in % of the full scale.
struct AnalogRow {
    double device = 0, reference = 0, errorPct = 0;
    bool pass() const;
};
AnalogRow analogRow(double device, double reference, double fullScale);

struct AnalogCoefficients {
    long long k0 = 0;
    double k1 = 1;
    bool operator==(const AnalogCoefficients&) const = default;
};

enum class AnalogFit { ZeroOnly, GainAndZero };
enum class AnalogSide { Output, Input };

struct AnalogCorrection {
    enum Outcome { Corrected, ZeroOutOfRange, Unusable } outcome = Unusable;
    AnalogCoefficients next;
};

// New coefficients from a complete check (x the true signal, y the measured one); the new
// k0 must lie within [k0Min, k0Max], the register's range.
AnalogCorrection correctCoefficients(AnalogSide side, AnalogFit fit, const std::vector<double>& x,
                                     const std::vector<double>& y, const AnalogCoefficients& now,
                                     double fullScale, long long k0Min, long long k0Max);

} // namespace getkelo
