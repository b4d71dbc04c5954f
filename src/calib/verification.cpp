#include "calib/verification.h"

#include "base/ini_file.h"
#include "base/number_format.h"
#include "calib/calib_data_files.h"
#include "calib/calibration_run.h"
#include "calib/list_helpers.h"

#include <algorithm>

namespace getkelo {
namespace {

double at(const std::vector<double>& v, size_t i) {
    return i < v.size() ? v[i] : 0.0;
}

double ratio(double a, double b) {
    return b == 0 ? 0.0 : a / b;
}

void range(const std::vector<double>& v, double& low, double& high) {
    if (v.empty()) return;
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    low = *lo;
    high = *hi;
}

std::string degrees(double v) {
    return formatPattern(v, "0.##") + "°C";
}

} // namespace

Verification readVerification(const std::string& file, const std::string& section) {
    Verification v;
    const IniFile f(file);
    auto list = [&](const char* key) {
        return f.valueExists(section, key) ? ParseFloatList(f.readString(section, key))
                                           : std::vector<double>{};
    };
    v.gas = f.readString(section, "Gas");
    v.pressure = formatPattern(MeanCalibPressure(file, section), "0.##") + " bar a";
    v.tempIn = list("TempIn");
    v.tempOut = list("TempOut");
    v.flowRef = list("FlowRef");
    v.flowDevice = list("FlowDevice");
    v.setFlow = list("SetFlow");
    v.sigma = list("SigmaFlowDevice");
    v.setFlowStored = !v.setFlow.empty();
    v.sigmaStored = !v.sigma.empty();
    if (!v.setFlowStored) v.setFlow = v.flowRef;
    range(v.tempIn, v.tempInMin, v.tempInMax);
    range(v.tempOut, v.tempOutMin, v.tempOutMax);
    const double fullScale = at(v.setFlow, 0);
    for (size_t i = 0; i < v.flowRef.size(); ++i) {
        const double s = at(v.setFlow, i);
        const double d = at(v.flowDevice, i) - v.flowRef[i];
        v.deviationFS.push_back({s, ratio(d * 100, fullScale)});
        v.deviationSP.push_back({s, ratio(d * 100, s)});
        v.sigmaPoints.push_back({s, at(v.sigma, i)});
    }
    return v;
}

std::string verificationDataFile(const DataFileRoot& root, const std::string& runFile,
                                 const CalibrationDevice& device, const std::string& typeText,
                                 const std::string& serial) {
    if (!runFile.empty() && serial == device.serial && typeText == device.typeText) return runFile;
    return MakeDataFilePath(root, typeText, serial);
}

std::vector<std::string> verificationPrintLines(const Verification& v, const std::string& typeText,
                                                const std::string& serial,
                                                const std::string& source) {
    return {"Typ: " + typeText,
            "Serial No: " + serial,
            "Source: " + source,
            "Gas: " + v.gas,
            "Pressure: " + v.pressure,
            "Temperatur IN min: " + degrees(v.tempInMin),
            "Temperatur IN max: " + degrees(v.tempInMax),
            "Temperatur OUT min: " + degrees(v.tempOutMin),
            "Temperatur OUT max: " + degrees(v.tempOutMax)};
}

} // namespace getkelo
