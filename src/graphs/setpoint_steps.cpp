#include "graphs/setpoint_steps.h"

#include "base/number_format.h"

namespace getkelo {

namespace {

SetpointStep step(const char* label, double fraction, double full, const std::string& unit) {
    return {label + formatFixedMax(fraction * full, 2) + " " + unit, fraction};
}

} // namespace

std::vector<SetpointStep> flowSetpointSteps(double fullScale, const std::string& unit) {
    static const struct {
        const char* label;
        double fraction;
    } kSteps[] = {{"100%  =  ", 1.0},   {"  95%  =  ", 0.95}, {"  90%  =  ", 0.9},
                  {"  75%  =  ", 0.75}, {"  50%  =  ", 0.5},  {"  25%  =  ", 0.25},
                  {"  10%  =  ", 0.1},  {"    5%  =  ", 0.05}};
    std::vector<SetpointStep> list;
    for (const auto& s : kSteps)
        list.push_back(step(s.label, s.fraction, fullScale, unit));
    list.push_back({"    0%  =  0 " + unit, 0.0});
    return list;
}

std::vector<SetpointStep> pressureSetpointSteps(double range, const std::string& unit,
                                                int controlMode) {
    std::vector<SetpointStep> list{
        step("100%  =  ", 1.0, range, unit), step("  80%  =  ", 0.8, range, unit),
        step("  50%  =  ", 0.5, range, unit), step("  25%  =  ", 0.25, range, unit)};
    if (controlMode == 5)
        list.push_back(step("  20%  =  ", 0.2, range, unit));
    else if (controlMode == 6)
        list.push_back(step("  10%  =  ", 0.1, range, unit));
    else
        list.push_back({"    -", std::nullopt}); // no fraction is defined for other modes
    list.push_back({"    0%  =  0 " + unit, 0.0});
    return list;
}

} // namespace getkelo
