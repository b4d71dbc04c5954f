#include "sim/analog_model.h"

#include "comm/register_catalogue.h"
#include "sim/sim_device.h"

#include <algorithm>
#include <cstdlib>

namespace getkelo::sim {
namespace {

constexpr int kOutputTestMode = 23;

double number(const SimDevice& d, RegisterDescriptor r) {
    return std::atof(d.visible(r).c_str());
}

char typeLetter(const SimDevice& d) {
    const std::string t = d.visible(reg::kTypeCode2);
    return t.empty() ? '\0' : t[0];
}

} // namespace

double analogFullScale(const SimDevice& d) {
    const char c = typeLetter(d);
    return c > 'E' ? 10 : c > 'C' ? 5 : 20;
}

bool analogIsCurrent(const SimDevice& d) {
    return typeLetter(d) <= 'C';
}

double analogOutput(const SimDevice& d, double flow) {
    const DeviceConfig& c = d.config();
    const double fs = analogFullScale(d);
    double v = 0;
    if (number(d, reg::kControlMode) == kOutputTestMode) {
        v = number(d, floatAt(0x0028));
    } else {
        const double range = number(d, reg::kRange);
        v = range > 0 ? std::clamp(flow / range, 0.0, 1.0) * fs : 0;
    }
    const double commanded =
        v * number(d, floatAt(0x4131)) + number(d, int16At(0x4130)) * fs / kAnalogSteps;
    return (1 + c.outGainError) * commanded + c.outZeroError;
}

double analogInputReading(const SimDevice& d) {
    const DeviceConfig& c = d.config();
    const double fs = analogFullScale(d);
    const bool current = analogIsCurrent(d);
    const double k0 = number(d, uint16At(current ? 0x4133 : 0x4136));
    const double k1 = number(d, floatAt(current ? 0x4134 : 0x4137));
    const double seen = c.analogInput * (1 + c.inGainError) + c.inZeroError;
    return k1 * (seen - k0 * fs / kAnalogSteps);
}

} // namespace getkelo::sim
