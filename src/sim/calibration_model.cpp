#include "sim/calibration_model.h"

#include "comm/register_catalogue.h"
#include "sim/device_profiles.h"
#include "sim/sim_device.h"
#include "sim/sim_registers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace getkelo::sim {
namespace {

constexpr double kTicksPerStep = kTicksFullScale / (reg::kLutValues - 1);
constexpr RegisterDescriptor kTableFlow = makeDescriptor(0x4080, 2, kTypeFloat);

double number(const SimDevice& d, RegisterDescriptor r, uint16_t bank = kBankNone) {
    return std::atof(d.get(r, bank).c_str());
}

uint16_t slotRegister(int slot, int offset) {
    return static_cast<uint16_t>(reg::kLutSlotBase + slot * reg::kLutSlotSize + offset);
}

int activeSlot(const SimDevice& d) {
    return std::clamp(static_cast<int>(number(d, reg::kLutSelect)), 0, 4);
}

double tableAt(const SimDevice& d, int slot, int i) {
    return number(d, makeDescriptor(slotRegister(slot, 2 * i), 2, kTypeFloat));
}

// The table between its steps, straight on beyond its ends.
double interpolate(const SimDevice& d, int slot, double step) {
    const int last = reg::kLutValues - 1;
    const int i = std::clamp(static_cast<int>(std::floor(step)), 0, last - 1);
    const double low = tableAt(d, slot, i), high = tableAt(d, slot, i + 1);
    return low + (high - low) * (step - i);
}

} // namespace

double factoryTableValue(double step) {
    const double x = step / (reg::kLutValues - 1);
    return x * (0.85 + 0.15 * x);
}

double sensorStep(double share, double deviation) {
    // Inverse of factoryTableValue for the share the sensor's curve puts there.
    const double t = std::max(share * (1 + deviation), -1.0);
    const double x = (-0.85 + std::sqrt(0.85 * 0.85 + 0.6 * t)) / 0.3;
    return x * (reg::kLutValues - 1);
}

double tableReading(const SimDevice& d, double trueFlow) {
    const double tableFlow = number(d, kTableFlow);
    if (!(tableFlow > 0)) return trueFlow;
    const int slot = activeSlot(d);
    const double zeroError =
        d.config().zeroTicks -
        number(d, makeDescriptor(slotRegister(slot, 0x0940 - 0x0836), 1, kTypeInt16));
    const double step =
        sensorStep(trueFlow / tableFlow, d.config().deviation) + zeroError / kTicksPerStep;
    return tableFlow * interpolate(d, slot, step);
}

uint32_t rawTicks(const SimDevice& d, double trueFlow) {
    const double tableFlow = number(d, kTableFlow);
    const double share = tableFlow > 0 ? trueFlow / tableFlow : 0;
    const double raw = kTicksAtZero + d.config().zeroTicks +
                       sensorStep(share, d.config().deviation) * kTicksPerStep;
    return static_cast<uint32_t>(std::max(0.0, std::round(raw)));
}

bool ticksSelected(const SimDevice& d) {
    return d.has(descRegister(reg::kSelectSccmTicks)) && number(d, reg::kSelectSccmTicks) == 1;
}

DeviceConfig referenceMeter(uint8_t address, uint8_t deviceUnderTest, double range) {
    DeviceConfig c = defaultConfig(Generation::Second);
    c.address = address;
    c.serial = 22010000u + address;
    c.functions = reg::kFnTotalizer;
    c.range = range;
    c.unit = "ln/min";
    c.meterFlow = 0;
    c.noise = 0.0001;
    c.timeConstantMs = 300;
    c.seed = address;
    c.referenceOf = deviceUnderTest;
    return c;
}

} // namespace getkelo::sim
