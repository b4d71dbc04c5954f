#include "calib/lut_correction.h"

#include "base/date_time.h"
#include "calib/list_helpers.h"

namespace getkelo {
namespace {

constexpr int kLast = kLutEntries - 1;

double at(const std::vector<double>& v, size_t i) {
    return i < v.size() ? v[i] : 0.0;
}

} // namespace

LutCorrection correctLookupTable(const LutCorrectionInput& in) {
    LutCorrection out;
    LutValues& L = out.table;
    L = in.table;
    // A data set without lists is one step that changes nothing.
    const size_t n = std::max<size_t>(in.flowRef.size(), 1);
    for (size_t i = 0; i < n; ++i) {
        const double r = at(in.flowRef, i), d = at(in.flowDevice, i);
        const double ratio = (r == 0 || d == 0) ? 1.0 : r / d;
        out.ratios.push_back(ratio);
        out.errors.emplace_back(r, (ratio - 1) * 100);
    }
    const std::vector<double>& ratio = out.ratios;
    const double S = in.tableFlow;
    if (S <= 0) {
        out.repairedFrom = repairMonotony(L, in.endStep);
        return out;
    }
    const double start = in.start / S, stop = in.stop / S;
    auto inWindow = [&](double v) { return start <= v && v <= stop; };

    // Entries above the top point take its ratio.
    int k = kLast;
    double v = at(in.flowDevice, 0) / S;
    while (k > 0 && v < L[k]) {
        if (L[k] <= stop) L[k] *= ratio[0];
        --k;
    }
    // Between two points the factor moves from the upper ratio to the lower one.
    for (size_t i = 0; i + 1 < n && k > 0; ++i) {
        v = at(in.flowDevice, i + 1) / S;
        int j = k - 1;
        while (j > 0 && !(L[j] < v && v <= L[j + 1]))
            --j;
        for (int m = k; m >= j + 1; --m)
            if (inWindow(L[m]))
                L[m] *= ratio[i] + (ratio[i + 1] - ratio[i]) * double(m - k) / double(j - k);
        if (i + 2 == n && start <= L[j]) L[j] *= ratio[i + 1];
        k = j;
    }
    out.repairedFrom = repairMonotony(L, in.endStep);
    return out;
}

int repairMonotony(LutValues& L, double endStep) {
    int first = -1;
    for (int i = 2; i <= kLast; ++i) {
        if (L[i] > L[i - 1]) continue;
        if (first < 0) first = i;
        int rise = i + 1;
        while (rise <= kLast && L[rise] <= L[i - 1])
            ++rise;
        if (rise > kLast) {
            // The table ends flat or falling: steps of endStep up to at most 1.
            for (int m = i; m <= kLast; ++m)
                L[m] = ClampValue(L[m - 1] + endStep, 0, 1);
            continue;
        }
        // A dip: a straight line from the last good entry to the next one above it.
        const double from = L[i - 1], to = L[rise];
        for (int m = i; m < rise; ++m)
            L[m] = from + (to - from) * double(m - (i - 1)) / double(rise - (i - 1));
        i = rise - 1;
    }
    return first;
}

uint32_t lutIdentity(const DateTime& t) {
    return static_cast<uint32_t>(t.year - 2000) << 26 | static_cast<uint32_t>(t.month) << 22 |
           static_cast<uint32_t>(t.day) << 17 | static_cast<uint32_t>(t.hour) << 12 |
           static_cast<uint32_t>(t.minute) << 6 | static_cast<uint32_t>(t.second);
}

} // namespace getkelo
