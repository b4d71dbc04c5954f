#include "graphs/tuning_pair.h"

#include "base/number_format.h"

#include <algorithm>
#include <cmath>

namespace getkelo {

std::string TuningPair::barMoved(int position, double& value) const {
    value = position;
    return scaled_ ? formatFixedMax(position * 0.001, 3) : std::to_string(position);
}

int TuningPair::editTyped(const std::string& text, double& value) const {
    const double typed = TextToFloat(text);
    value = scaled_ ? std::round(typed * 1000) : typed;
    return barPosition(value);
}

std::string TuningPair::editText(double value) const {
    return scaled_ ? formatFixedMax(value * 0.001, 3) : formatGeneral(value, 7);
}

int TuningPair::barPosition(double value) const {
    if (!std::isfinite(value)) return range_.min;
    const double t = std::trunc(value);
    return static_cast<int>(std::clamp(t, double(range_.min), double(range_.max)));
}

} // namespace getkelo
