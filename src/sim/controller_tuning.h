#pragma once
#include "sim/flow_model.h"

namespace getkelo::sim {

class SimDevice;

// The parameters of a device's active PID set in the model's terms, so that what the tool
// writes into the parameter registers changes how the simulated controller answers a step.
//  - second and third generation (set in 0x0035): kp = P / 50, integral rate I x 2 per
//    second (ki = kp x 2 I), derivative time D / 100 s, feed-forward F / 256;
//  - series 4 (set 0x6200 of the active slot): kp = Kp / 1000, reset time Tn / 1000 s (Tn s
//    below "4.3.06", where the device stores it divided by 1000), derivative time
//    Tv / 10000 s, feed-forward N / 10000;
//  - pressure controller (set 0x5F10): kp, ki, kd = Kp, Ki, Kd / 1000, feed-forward 0.5.
// A first-generation device has no parameter registers and keeps the model's defaults.
ControllerTuning flowTuningOf(const SimDevice& device);
ControllerTuning pressureTuningOf(const SimDevice& device);

} // namespace getkelo::sim
