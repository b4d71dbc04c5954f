#pragma once
#include "graphs/pid_access.h"
#include "graphs/tuning_pair.h"

#include <array>
#include <string>

namespace getkelo {

// The five tuning pairs of the flow graph for a device's software version: the track-bar
// ranges of its generation and whether the I edit shows the bar scaled by 0.001 (version
// number 2.2 or more and version text below "4.3.06").
std::array<TuningPair, kPidParams> flowTuningPairs(const std::string& version);

// The four pairs of the pressure graph (Kp, Ki, Kd, N): 0..255 by default, from "4.3.05" on
// 0..10000 for Kp, Ki, Kd and 0..8000 for N.
enum PressureParam { kPressKp, kPressKi, kPressKd, kPressN };
inline constexpr int kPressureParams = 4;
std::array<TuningPair, kPressureParams> pressureTuningPairs(const std::string& version);

} // namespace getkelo
