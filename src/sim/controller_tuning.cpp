#include "sim/controller_tuning.h"

#include "sim/sim_device.h"
#include "sim/sim_registers.h"

#include <cmath>
#include <cstdlib>

namespace getkelo::sim {

namespace {

double number(const SimDevice& d, RegisterDescriptor r, uint16_t bank) {
    if (!d.has(descRegister(r)) && bank == kBankNone) return 0;
    const double v = std::atof(d.get(r, bank).c_str());
    return std::isfinite(v) ? v : 0;
}

int activeSlot(const SimDevice& d) {
    return static_cast<int>(number(d, reg::kLutSelect, kBankNone));
}

} // namespace

ControllerTuning flowTuningOf(const SimDevice& d) {
    ControllerTuning t;
    switch (d.config().generation) {
    case Generation::First:
        break;
    case Generation::Second:
    case Generation::Third: {
        const uint16_t bank = oldPidBank(static_cast<int>(number(d, reg::kPidSetOld, kBankNone)));
        t.kp = number(d, reg::kPidPOld, bank) / 50;
        t.ki = t.kp * 2 * number(d, reg::kPidIOld, bank);
        t.kd = t.kp * number(d, reg::kPidDOld, bank) / 100;
        t.feedForward = number(d, reg::kPidFOld, bank) / 256;
        break;
    }
    case Generation::Series4: {
        const int slot = activeSlot(d);
        const int set = static_cast<int>(number(d, reg::kSlotPidSelect, slotBank(slot)));
        const uint16_t bank = pidBank(slot, set);
        t.kp = number(d, reg::kPidKp, bank) / 1000;
        double resetS = number(d, reg::kPidTn, bank);
        if (d.config().software >= "4.3.06") resetS /= 1000;
        t.ki = resetS > 0 ? t.kp / resetS : 0;
        t.kd = t.kp * number(d, reg::kPidTv, bank) / 10000;
        t.feedForward = number(d, reg::kPidN, bank) / 10000;
        break;
    }
    }
    return t;
}

ControllerTuning pressureTuningOf(const SimDevice& d) {
    ControllerTuning t{1.0, 1.0, 0, 0.5};
    if (d.config().generation != Generation::Series4) return t;
    const int set = static_cast<int>(number(d, reg::kPressActiveSet, kBankNone));
    const uint16_t bank = pressurePidBank(activeSlot(d), set);
    t.kp = number(d, reg::kPressKp, bank) / 1000;
    t.ki = number(d, reg::kPressKi, bank) / 1000;
    t.kd = number(d, reg::kPressKd, bank) / 1000;
    return t;
}

} // namespace getkelo::sim
