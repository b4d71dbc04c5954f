#include "sim/flow_model.h"

#include <algorithm>
#include <cmath>

namespace getkelo::sim {

namespace {
constexpr double kPi = 3.14159265358979323846;
// A controller's valve passes 125 % of its range (or holds 125 % of the pressure range) when
// fully open with gas supplied.
constexpr double kCapacity = 1.25;
// Sub-step so alarm timing stays right when the model was not asked for a long time.
constexpr double kStepS = 0.1;
constexpr double kMaxSteppedS = 600;
// The control loops run in short intervals, as a device's controller does.
constexpr double kControlS = 0.005;
constexpr double kValveLagS = 0.3;
constexpr double kSensorLagS = 0.3;
// Holding a pressure costs a bleed flow: this share of the range at full pressure.
constexpr double kBleedShare = 0.2;

double approach(double value, double target, double dtS, double lagS) {
    return target + (value - target) * std::exp(-dtS / lagS);
}
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
    if (left > 0) step(in, left); // steady state long reached: one step is enough
}

void FlowModel::step(const ModelInputs& in, double dtS) {
    if ((in.pressureControl || in.controller) && dtS > 2 * kStepS) {
        // After ten minutes unasked a loop has long settled: only the totalizer moves on.
        total_ += measured_ * dtS / 60.0 * in.totalizerFactor;
        timeS_ += dtS;
        return;
    }
    if (in.pressureControl) {
        pressureLoop(in, dtS);
    } else if (in.controller) {
        flowLoop(in, dtS);
        if (in.setpoint < 0 || in.setpoint > in.range * 1.001) alarms_ |= kAlarmSetpointInput;
    } else {
        valve_ = 0;
        const double target = in.meterFlow;
        const double flow0 = flow_;
        flow_ = approach(flow_, target, dtS, tauS_);
        measured_ = flow_;
        // Exact integral of the exponential approach over the step.
        const double k = std::exp(-dtS / tauS_);
        total_ += (target * dtS + (flow0 - target) * tauS_ * (1 - k)) / 60.0 * in.totalizerFactor;
    }
    timeS_ += dtS;

    if (in.controller && valve_ >= 99.5 && measured_ < 0.01 * in.range) {
        noFlowS_ += dtS;
        if (noFlowS_ >= in.alarmDelayS) alarms_ |= kAlarmNoFlowAtFullValve;
    } else {
        noFlowS_ = 0;
    }
}

double FlowModel::control(const ControllerTuning& c, double setpointShare, double measuredShare,
                          double feed, double dtS) {
    if (setpointShare <= 0) {
        // A set point of zero closes the valve.
        integral_ = 0;
        previous_ = measuredShare;
        return 0;
    }
    const double e = setpointShare - measuredShare;
    const double rate = (measuredShare - previous_) / dtS;
    previous_ = measuredShare;
    const double fixed = c.feedForward * feed + c.kp * e - c.kd * rate;
    const double trial = integral_ + c.ki * e * dtS;
    const double u = fixed + trial;
    // The integral stops while the valve is at a stop and the error pushes further.
    if (!((u > 1 && e > 0) || (u < 0 && e < 0))) integral_ = trial;
    return std::clamp(fixed + integral_, 0.0, 1.0);
}

void FlowModel::moveValve(double opening, double dtS) {
    valve_ = approach(valve_, 100 * opening, dtS, kValveLagS);
}

void FlowModel::flowLoop(const ModelInputs& in, double dtS) {
    const double range = in.range > 0 ? in.range : 1;
    const double capacity = range * kCapacity * supply_;
    const double sp = std::clamp(in.setpoint, 0.0, range);
    // What the valve must open for the set point, as far as the controller knows it.
    const double feed = sp / (range * kCapacity);
    for (double left = dtS; left > 1e-12; left -= kControlS) {
        const double h = std::min(left, kControlS);
        const double opening = in.valveHeld >= 0
                                   ? std::clamp(in.valveHeld / 100, 0.0, 1.0)
                                   : control(in.flowTuning, sp / range, measured_ / range, feed, h);
        moveValve(opening, h);
        flow_ = approach(flow_, capacity * valve_ / 100, h, tauS_);
        const double before = measured_;
        measured_ = approach(measured_, flow_, h, kSensorLagS);
        total_ += (before + measured_) / 2 * h / 60.0 * in.totalizerFactor;
    }
}

void FlowModel::pressureLoop(const ModelInputs& in, double dtS) {
    const double full = in.pressureFull > 0 ? in.pressureFull : 1;
    const double sp = std::clamp(in.pressureSetpoint, 0.0, full);
    const double held = full * kCapacity * supply_;
    for (double left = dtS; left > 1e-12; left -= kControlS) {
        const double h = std::min(left, kControlS);
        const double opening =
            control(in.pressureTuning, sp / full, pressure_ / full, sp / (full * kCapacity), h);
        moveValve(opening, h);
        pressure_ = approach(pressure_, held * valve_ / 100, h, tauS_);
        const double before = measured_;
        flow_ = kBleedShare * in.range * pressure_ / full;
        measured_ = flow_;
        total_ += (before + measured_) / 2 * h / 60.0 * in.totalizerFactor;
    }
}

void FlowModel::restart() {
    flow_ = 0;
    measured_ = 0;
    valve_ = 0;
    integral_ = 0;
    previous_ = 0;
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
    return measured_ + noiseSample() * noise_ * in.range;
}

double FlowModel::temperatureReading() {
    return 21.0 + 0.4 * std::sin(2 * kPi * timeS_ / 900.0) + 0.02 * noiseSample();
}

double FlowModel::pressureReading(const ModelInputs& in) {
    return pressure_ + noiseSample() * noise_ * in.pressureFull;
}

} // namespace getkelo::sim
