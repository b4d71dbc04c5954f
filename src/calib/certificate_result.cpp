#include "calib/certificate_result.h"

#include "base/ini_file.h"
#include "base/number_format.h"
#include "calib/list_helpers.h"
#include "calib/measured_steps.h"

#include <cmath>
#include <cstdio>

namespace getkelo {
namespace {

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (!text.empty()) {
        const size_t semi = text.find(';', start);
        out.push_back(text.substr(start, semi == std::string::npos ? semi : semi - start));
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    return out;
}

double at(const std::vector<double>& v, size_t i) {
    return i < v.size() ? v[i] : 0.0;
}

} // namespace

CertificatePoints readCertificatePoints(const std::string& file, const std::string& section,
                                        const std::string& deviceUnit, bool mlnLists) {
    CertificatePoints p;
    const IniFile f(file);
    auto list = [&](const char* key) {
        std::vector<double> out;
        if (!f.valueExists(section, key)) return out;
        for (double v : ParseFloatList(f.readString(section, key)))
            out.push_back(fromStoredFlow(v, deviceUnit));
        return out;
    };
    p.reference = list("FlowRef");
    p.device = list("FlowDevice");
    if (mlnLists)
        for (double& v : p.device)
            v *= 0.001;
    p.refUsed = splitList(f.readString(section, "RefUsed"));
    return p;
}

CertificateRow certificateRow(const CertificatePoints& p, double fraction) {
    CertificateRow row;
    row.percent = fraction * 100;
    const double N = fraction * p.fullScale;
    row.nominal = N;
    const std::vector<double>&R = p.reference, &D = p.device;
    const size_t n = R.size();
    double rs = N;
    if (n > 0) {
        size_t c = 0;
        for (size_t i = 1; i < n; ++i)
            if (std::fabs(N - R[i]) < std::fabs(N - R[c])) c = i;
        if (c < p.refUsed.size()) row.refUsed = p.refUsed[c];
        const double dc = at(D, c);
        if (c == 0 && N >= dc) {
            rs = N + (R[0] - at(D, 0)); // above the top point: its offset
        } else if (n == 1) {
            rs = N + (R[0] - dc); // one point: its offset below it too
        } else {
            // The neighbour on N's side; below the lowest point the two lowest points.
            size_t j = N >= dc ? c - 1 : c + 1;
            if (j >= n) j = c - 1;
            const double dj = at(D, j);
            rs = dc == dj ? N : R[c] - SafeDivide(dc - N, dc - dj) * (R[c] - R[j]);
        }
    }
    row.reference = rs;
    row.deviationFS = p.fullScale != 0 ? (N - rs) * 100 / p.fullScale : 0;
    row.deviationMV = N != 0 ? (N - rs) * 100 / N : 0;
    return row;
}

std::string ResultLine(const CertificatePoints& points, double fraction) {
    const CertificateRow r = certificateRow(points, fraction);
    std::string percent = formatGeneral(r.percent, 4) + "%";
    if (percent.size() < 6) percent.insert(0, 6 - percent.size(), ' ');
    char deviations[64];
    std::snprintf(deviations, sizeof deviations, "\t% .2f%%\t% .2f%%\t       ", r.deviationMV,
                  r.deviationFS);
    return percent + "\t" + formatGeneral(r.reference) + "\t" + formatGeneral(r.nominal) +
           deviations + r.refUsed;
}

std::vector<double> nominalPercents(int count) {
    if (count < 1) count = 1;
    std::vector<double> out;
    for (int k = 1; k <= count; ++k)
        out.push_back(k * (100.0 / count));
    return out;
}

} // namespace getkelo
