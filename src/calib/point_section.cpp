// WritePointSection: one measured calibration point as a DATA section.
#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "calib/calib_data_files.h"
#include "calib/list_helpers.h"
#include "calib/section_names.h"
#include "comm/register_descriptor.h"
#include "comm/ttesra.h"
#include "ui/ui_adapter.h"

namespace getkelo {
namespace {

// The identity of the active lookup table (that of slot 0).
constexpr RegisterDescriptor kLutIdent = makeDescriptor(0x0955, 2, kTypeUInt32);

} // namespace

bool CalibDataFiles::WritePointSection(const TCalibPoint& point, std::vector<std::string>& info,
                                       int deviceIndex) {
    auto entry = [&](int i) { return i < static_cast<int>(info.size()) ? info[i] : std::string(); };
    if (deviceIndex < 0 || deviceIndex >= kCalibDeviceSlots || entry(kInfoFile).empty()) {
        ui_.messageBox(message("infoPointNotStored", "Der Messpunkt wurde nicht gespeichert: "
                                                     "Datei oder Gerät fehlt."),
                       "Kalibrationsdaten", MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    if (info.size() <= kInfoSection) info.resize(kInfoSection + 1);
    IniFile file(entry(kInfoFile));
    std::string section = entry(kInfoSection);
    // A section is only ever added: an existing one is never mixed with this point.
    if (section.empty() || file.sectionExists(section)) {
        section = nextSectionName(file, "DATA");
        info[kInfoSection] = section;
    }
    const TCalibDeviceSlot& slot = point.devices[deviceIndex];
    const DateTime now = localDateTime(tesra_.comm().clock().nowMs());
    std::vector<std::pair<std::string, std::string>> pairs;
    auto always = [&](const char* key, const std::string& value) {
        pairs.emplace_back(key, value);
    };
    auto ifSet = [&](const char* key, const std::string& value) {
        if (!value.empty()) pairs.emplace_back(key, value);
    };
    always("Date", formatShortDate(now));
    always("Time", formatLongTime(now));
    always("OperatorName", entry(kInfoOperator));
    // Year, day, month and a fixed "00".
    always("Batch", formatDateTime("yyyy-dd-MM-00", now));
    ifSet("Remark", entry(kInfoRemark));
    always("Samples", entry(kInfoSamples));
    always("Gas", entry(kInfoGas));
    always("GasTotal", entry(kInfoGasTotal));
    always("Mode", entry(kInfoMode));
    if (entry(kInfoMode) != "Ticks") always("LutID", tesra_.ReadValue(kLutIdent));
    always("Gain", entry(kInfoGain));
    ifSet("HeatPower", entry(kInfoHeatPower));
    if (!point.LeakingFlow.empty()) {
        always("LeakingFlow", point.LeakingFlow);
        always("LeakingFlowRate", point.LeakingFlowRate);
        always("LeakingTestOK", point.LeakingTestOK ? "true" : "false");
    }
    ifSet("SetTemp", entry(kInfoSetTemp));
    ifSet("TempIn", point.TempIn);
    ifSet("TempOut", point.TempOut);
    ifSet("TempAmb", point.TempAmb);
    ifSet("PressureIn", point.PressureIn);
    ifSet("PressureOut", point.PressureOut);
    ifSet("PressureAmb", point.PressureAmb);
    ifSet("Humidity", point.Humidity);
    ifSet("SetFlow", point.SetFlow);
    ifSet("FlowRef", point.FlowRef);
    ifSet("FlowDevice", slot.FlowDevice);
    ifSet("TempDevice", slot.TempDevice);
    ifSet("RefUsed", point.RefUsed);
    ifSet("SigmaFlowRef", point.SigmaFlowRef);
    ifSet("SigmaFlowDevice", slot.SigmaFlowDevice);
    ifSet("SigmaTempDevice", slot.SigmaTempDevice);
    return writeSection(file, section, pairs);
}

double MeanCalibPressure(const std::string& filePath, const std::string& section) {
    IniFile file(filePath);
    double sum = 0;
    for (double v : ParseFloatList(file.readString(section, "PressureIn")))
        sum += v;
    const std::vector<double> out = ParseFloatList(file.readString(section, "PressureOut"));
    for (double v : out)
        sum += v;
    // Gauge pressures in bar, ambient in mbar absolute.
    return sum / (2.0 * static_cast<double>(out.size())) +
           0.001 * ParseFloatList(file.readString(section, "PressureAmb")).front();
}

} // namespace getkelo
