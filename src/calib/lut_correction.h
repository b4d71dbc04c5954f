#pragma once
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace getkelo {

struct DateTime;

inline constexpr int kLutEntries = 129;
using LutValues = std::array<double, kLutEntries>;

// What the correction of a lookup table starts from.
struct LutCorrectionInput {
    std::vector<double> flowRef;    // reference flows of the data set, high to low
    std::vector<double> flowDevice; // what the device showed at the same steps
    LutValues table{};              // the active table: fractions of tableFlow
    double tableFlow = 0;           // the flow the table values are fractions of
    double endStep = 0.018;         // "LuT-Ende": step of a repaired tail
    double start = 0;               // window of entries that are corrected (flows)
    double stop = 3.4e38;
};

struct LutCorrection {
    LutValues table{};                             // the corrected table
    std::vector<double> ratios;                    // reference / device per step
    std::vector<std::pair<double, double>> errors; // (reference flow, deviation in %)
    int repairedFrom = -1; // first entry the monotony repair changed, -1 none
};

// The corrected table: every entry between two measured points is multiplied by the ratio
// reference / device, moving linearly (in table entries) from the ratio of the upper point to
// that of the lower one; entries above the top point take its ratio, entries below the
// lowest point stay. Only entries whose value lies in start..stop (as fractions of the table
// flow) change. Then the table is made rising again (repairMonotony).
LutCorrection correctLookupTable(const LutCorrectionInput& in);

// Makes the table rise from entry 1 on. A tail that no later entry rises above (a flat or
// falling end) becomes steps of endStep, each entry the one before plus endStep, at most 1.
// A dip inside the table (some later entry rises above the last good one again) is bridged
// by a straight line to that entry instead, so one bad entry never rewrites the rest of the
// table. Returns the first entry changed, or -1.
int repairMonotony(LutValues& table, double endStep);

// The identity of a table made at time t: 6 bits year - 2000, 4 bits month, 5 day, 5 hour,
// 6 minute, 6 second (31.12.2019 23:59:59 gives 19*2^26 + 12*2^22 + 31*2^17 + 23*2^12 +
// 59*2^6 + 59).
uint32_t lutIdentity(const DateTime& t);

} // namespace getkelo
