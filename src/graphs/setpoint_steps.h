#pragma once
#include <optional>
#include <string>
#include <vector>

namespace getkelo {

// One entry of a graph's set-point step list: its text and the fraction of full scale it
// sets (none: the entry sets nothing).
struct SetpointStep {
    std::string text;
    std::optional<double> fraction;
};

// The flow graph's list: 100 %, 95 %, 90 %, 75 %, 50 %, 25 %, 10 %, 5 % and 0 % of full
// scale, each "NN%  =  " + value ("0.##") + " " + unit.
std::vector<SetpointStep> flowSetpointSteps(double fullScale, const std::string& unit);

// The pressure graph's list: 100 %, 80 %, 50 %, 25 %, then 20 % in control mode 5 or 10 % in
// mode 6, and 0 % of the pressure range. In any other mode the fifth entry sets nothing.
std::vector<SetpointStep> pressureSetpointSteps(double range, const std::string& unit,
                                                int controlMode);

// A flow controller whose set point is a pressure takes a step as this share of full scale.
inline constexpr double kPressureSetpointShare = 0.8333333;

} // namespace getkelo
