#include "calib/measured_steps.h"

#include "base/flow_unit.h"
#include "base/number_format.h"
#include "calib/list_helpers.h"

#include <algorithm>

namespace getkelo {
namespace {

constexpr double kStoredPressure = 1013.25; // mbar
constexpr double kStoredTemperature = 20;   // °C

std::string numberText(const std::string& typed) {
    double v = 0;
    return parseNumber(typed, v) ? formatPattern(v, "0.######") : std::string("0");
}

} // namespace

StepParse parseSteps(const std::vector<StepRow>& rows) {
    StepParse out;
    for (size_t i = 0; i < rows.size() && static_cast<int>(i) < kMaxSteps; ++i) {
        const StepRow& row = rows[i];
        if (row.refNo.empty()) break;
        double no = 0;
        MeasuredStep s;
        if (!parseNumber(row.refNo, no) || !parseNumber(row.refFlow, s.refFlow) ||
            !parseNumber(row.deviceFlow, s.deviceFlow)) {
            out.steps.clear();
            out.badRow = static_cast<int>(i);
            return out;
        }
        s.refNo = static_cast<int>(no);
        out.steps.push_back(s);
    }
    return out;
}

double toStoredFlow(double v, const std::string& unit) {
    return v * flowUnitFactor(unit, kStoredPressure, kStoredTemperature) * 0.001;
}

double fromStoredFlow(double v, const std::string& unit) {
    const double f = flowUnitFactor(unit, kStoredPressure, kStoredTemperature) * 0.001;
    return f == 0 ? 0 : v / f;
}

void sortSteps(std::vector<MeasuredStep>& steps) {
    // Exact flows decide: steps a fraction of a unit apart are sorted too (small ranges).
    std::stable_sort(steps.begin(), steps.end(), [](const MeasuredStep& a, const MeasuredStep& b) {
        return a.refFlow > b.refFlow;
    });
}

std::vector<MeasuredStep> fillCalibPoint(TCalibPoint& point, std::vector<MeasuredStep> steps,
                                         const PointConditions& c) {
    point.clear();
    sortSteps(steps);
    const std::string setTemp = numberText(c.setTemp);
    const std::string ambient = numberText(c.ambientPressure);
    TCalibDeviceSlot& dev = point.devices[0];
    for (const MeasuredStep& s : steps) {
        auto add = [](std::string& list, const std::string& text) {
            if (!list.empty()) list += ';';
            list += text;
        };
        add(point.RefUsed, "U" + std::to_string(s.refNo));
        add(point.FlowRef, formatGeneral(toStoredFlow(s.refFlow, c.refUnit), 7));
        add(dev.FlowDevice, formatGeneral(toStoredFlow(s.deviceFlow, c.deviceUnit), 7));
        add(point.TempIn, setTemp);
        add(point.TempOut, setTemp);
        add(point.PressureAmb, ambient);
        AppendFormatted(dev.TempDevice, "0.######", -1);
    }
    point.PressureIn = numberText(c.calibPressure);
    point.PressureOut = point.PressureIn;
    return steps;
}

} // namespace getkelo
