#pragma once
#include "calib/calib_point.h"

#include <string>
#include <vector>

namespace getkelo {

// One row of the measuring grid as shown: number of the reference used, reference flow
// (reference unit), flow shown by the device (device unit).
struct StepRow {
    std::string refNo, refFlow, deviceFlow;
};

// The grid has 50 rows, the first its header: at most 49 steps.
inline constexpr int kMaxSteps = 49;

struct MeasuredStep {
    int refNo = 0;
    double refFlow = 0;
    double deviceFlow = 0;
};

// The steps of the grid: its rows from the top up to the first one without a reference
// number. A row with a reference number but without both flows (or with text that is no
// number) is refused: `badRow` (0-based) names it and nothing is taken.
struct StepParse {
    std::vector<MeasuredStep> steps;
    int badRow = -1;
};
StepParse parseSteps(const std::vector<StepRow>& rows);

// Data files keep flows in ln/min: v * F(unit) * 0.001 with the unit factor at 1013.25 mbar
// and 20 °C; fromStoredFlow is the way back.
double toStoredFlow(double v, const std::string& unit);
double fromStoredFlow(double v, const std::string& unit);

// Highest reference flow first. Equal flows keep their order.
void sortSteps(std::vector<MeasuredStep>& steps);

// What a run stores besides the flows.
struct PointConditions {
    std::string setTemp = "23";     // ambient temperature [°C]
    std::string ambientPressure;    // atmospheric pressure [mbar a]
    std::string calibPressure;      // calibration pressure [bar gauge]
    std::string refUnit = "ln/min"; // unit of the reference flows in the grid
    std::string deviceUnit;         // unit of the device flows in the grid
};

// Converts the grid's steps to the stored unit, sorts them, and fills the point's lists for
// device slot 0 (the point is cleared first). Returns the sorted steps in the grid's units,
// as the grid shows them afterwards.
std::vector<MeasuredStep> fillCalibPoint(TCalibPoint& point, std::vector<MeasuredStep> steps,
                                         const PointConditions& c);

} // namespace getkelo
