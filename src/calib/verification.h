#pragma once
#include "calib/data_file_path.h"

#include <string>
#include <vector>

namespace getkelo {

struct CalibrationDevice;

struct ChartPoint {
    double x = 0, y = 0;
};

// A stored check data set as the page "Protokoll" plots and prints it: the deviations of the
// device from the reference against the set points, and the conditions of the run.
struct Verification {
    std::string gas;      // "Gas"
    std::string pressure; // the mean calibration pressure, "0.##" + " bar a"
    std::vector<double> setFlow, flowRef, flowDevice, sigma, tempIn, tempOut;
    // A calibration run stores neither set points nor standard deviations: the reference flows
    // stand in for the set points and the deviations count 0.
    bool setFlowStored = false, sigmaStored = false;
    double tempInMin = 0, tempInMax = 0, tempOutMin = 0, tempOutMax = 0;
    // Against S[i]: (D - R) * 100 / S[0] (%FS), (D - R) * 100 / S[i] (%SP), sigma; a divisor of
    // 0 plots 0.
    std::vector<ChartPoint> deviationFS, deviationSP, sigmaPoints;
};

// VerifyBtnClick's data: the lists of one DATA section. Missing list entries count 0; a data
// set without "FlowRef" has no points.
Verification readVerification(const std::string& file, const std::string& section);

// The data file the page reads: the run's own file for the device under test (it follows a
// changed working folder), else the file of the type and serial entered.
std::string verificationDataFile(const DataFileRoot& root, const std::string& runFile,
                                 const CalibrationDevice& device, const std::string& typeText,
                                 const std::string& serial);

// The header of the printed page: "Typ: ", "Serial No: ", "Source: ", "Gas: ", "Pressure: ",
// then the temperature ranges ("0.##°C").
std::vector<std::string> verificationPrintLines(const Verification& v, const std::string& typeText,
                                                const std::string& serial,
                                                const std::string& source);

} // namespace getkelo
