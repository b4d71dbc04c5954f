#include "sim/flow_model.h"

#include <algorithm>
#include <cmath>

namespace getkelo::sim {

namespace {
constexpr double kPi = 3.14159265358979323846;
// A controller's valve passes 125 % of its range when fully open with gas supplied.
constexpr double kCapacity = 1.25;
// Sub-step so alarm timing stays right when the model was not asked for a long time.
constexpr double kStepS = 0.1;
constexpr double kMaxSteppedS = 600;
} // namespace

FlowModel::FlowModel(double timeConstantMs, double noise, uint32_t seed)
    : tauS_(std::max(timeConstantMs, 1.0) / 1000.0), noise_(noise), rng_(seed ? seed : 1) {}

void FlowModel::advance(const ModelInputs& in, int64_t dtMs) {
    if (dtMs <= 0) return;
    double left = dtMs / 1000.0;
    double stepped = std::min(left, kMaxSteppedS);
    left -= stepped;
    while (stepped > 1e-9) {
        double dt = std::min(stepped, kStepS);
        step(in, dt);
        stepped -= dt;
    }
    if (left > 0) step(in, left); // steady state long reached: one exact step
}

void FlowModel::step(const ModelInputs& in, double dtS) {
    double capacity = in.range * kCapacity * supply_;
    double target; // flow the device settles at
    double valveTarget;
    if (in.pressureControl) {
        double full = in.pressureFull > 0 ? in.pressureFull : 1;
        double p = std::clamp(in.pressureSetpoint, 0.0, full);
        pressure_ = p + (pressure_ - p) * std::exp(-dtS / tauS_);
        // Holding a pressure costs a bleed flow proportional to it.
        target = 0.2 * in.range * pressure_ / full;
        valveTarget = capacity > 0 ? std::min(100.0, 100.0 * target / capacity) : 100.0;
        target = std::min(target, capacity);
    } else if (in.controller) {
        double sp = std::clamp(in.setpoint, 0.0, in.range);
        valveTarget = capacity > 0 ? std::min(100.0, 100.0 * sp / capacity) : (sp > 0 ? 100 : 0);
        target = capacity * valveTarget / 100.0;
        if (in.setpoint < 0 || in.setpoint > in.range * 1.001) alarms_ |= kAlarmSetpointInput;
    } else {
        valveTarget = 0;
        target = in.meterFlow;
    }
    double k = std::exp(-dtS / tauS_);
    double flow0 = flow_;
    flow_ = target + (flow0 - target) * k;
    valve_ = valveTarget + (valve_ - valveTarget) * k;
    // Exact integral of the exponential approach over the step.
    double integral = target * dtS + (flow0 - target) * tauS_ * (1 - k);
    total_ += integral / 60.0 * in.totalizerFactor;
    timeS_ += dtS;

    if (in.controller && valve_ >= 99.5 && flow_ < 0.01 * in.range) {
        noFlowS_ += dtS;
        if (noFlowS_ >= in.alarmDelayS) alarms_ |= kAlarmNoFlowAtFullValve;
    } else {
        noFlowS_ = 0;
    }
}

void FlowModel::restart() {
    flow_ = 0;
    valve_ = 0;
    pressure_ = 1.0;
    noFlowS_ = 0;
    alarms_ = 0;
}

void FlowModel::clearAlarms() {
    alarms_ = 0;
    noFlowS_ = 0;
}

double FlowModel::noiseSample() {
    // xorshift32: a cheap, repeatable noise source per device
    rng_ ^= rng_ << 13;
    rng_ ^= rng_ >> 17;
    rng_ ^= rng_ << 5;
    return (rng_ / 4294967295.0) * 2.0 - 1.0;
}

double FlowModel::flowReading(const ModelInputs& in) {
    return flow_ + noiseSample() * noise_ * in.range;
}

double FlowModel::temperatureReading() {
    return 21.0 + 0.4 * std::sin(2 * kPi * timeS_ / 900.0) + 0.02 * noiseSample();
}

double FlowModel::pressureReading(const ModelInputs& in) {
    return pressure_ + noiseSample() * noise_ * in.pressureFull;
}

} // namespace getkelo::sim
