#pragma once
#include <string>
#include <vector>

namespace getkelo {

// The measured points of a check data set in the device unit, highest flow first.
struct CertificatePoints {
    std::vector<double> reference; // R: "FlowRef"
    std::vector<double> device;    // D: "FlowDevice"
    std::vector<std::string> refUsed;
    double fullScale = 0; // FS, device unit
};

// Reads the lists of a DATA section back into the device unit (the stored ln/min divided by
// the unit factor the run applied); `mlnLists` ("Verify-DATA" "mln/min") also takes the device
// flows by 0.001.
CertificatePoints readCertificatePoints(const std::string& file, const std::string& section,
                                        const std::string& deviceUnit, bool mlnLists);

// One line of the result table.
struct CertificateRow {
    double percent = 0;
    double reference = 0; // R*: the reference flow at which the device shows the nominal value
    double nominal = 0;   // N
    double deviationMV = 0, deviationFS = 0; // %
    std::string refUsed;
};

// The row of a nominal fraction f (0 < f <= 1): the measured point c closest to N = f * FS
// and its neighbour on N's side give R* by straight-line interpolation; above the top point
// the top point's offset R[0] - D[0] carries on. Below the lowest point the line through the
// two lowest points carries on (one point alone: its offset). No points: R* = N.
CertificateRow certificateRow(const CertificatePoints& points, double fraction);

// ResultLine: "  25%\tR*\tN\t-0.12%\t-0.03%\t       U1".
std::string ResultLine(const CertificatePoints& points, double fraction);
inline constexpr const char* kZeroResultLine = "    0%\t0\t0";

// The nominal points besides 0 %: k * 100 / count for k = 1 .. count (count below 1 counts 1).
std::vector<double> nominalPercents(int count);

} // namespace getkelo
