#include "comm/descriptor_text.h"

#include "base/number_format.h"
#include "comm/register_catalogue.h"

#include <cctype>
#include <cstring>

namespace getkelo {
namespace {

// Integer in [min, max], decimal or 0x hex, nothing else in the text.
bool integerIn(const std::string& text, long long min, long long max, long long& out) {
    // No blanks at all: parseIntegerIn alone would allow them around the number.
    if (text.empty() || text.find_first_of(" \t") != std::string::npos) return false;
    return parseIntegerIn(text, min, max, out);
}

bool sameName(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

struct NamedRegister {
    const char* name;
    RegisterDescriptor descriptor;
};

const NamedRegister kNames[] = {
    {"Flow", reg::kFlow},
    {"Temperature", reg::kTemperature},
    {"Totalizer", reg::kTotalizer},
    {"Setpoint", reg::kSetpoint},
    {"Valve", reg::kValve},
    {"AlarmWord", reg::kAlarmWord},
    {"ControlMode", reg::kControlMode},
    {"ModBusAdress", reg::kModbusAddress},
    {"Range", reg::kRange},
    {"SerialNumber", reg::kSerialNumber},
    {"HardwareVersion", reg::kHardwareVersion},
    {"SoftwareVersion", reg::kSoftwareVersion},
    {"DeviceTypeCode1", reg::kTypeCode1},
    {"SelectSccmTicks", reg::kSelectSccmTicks},
    {"AccessCode", reg::kAccessCode},
    {"SoftReset", reg::kSoftReset},
    {"DeviceTypeCode2", reg::kTypeCode2},
    {"TempUnit", reg::kTempUnit},
    {"PressUnit", reg::kPressUnit},
    {"PowerUp", reg::kPowerUp},
    {"PowerUpSetpoint", reg::kPowerUpSetpoint},
    {"DetectorMode", reg::kDetectorMode},
    {"AlarmReset", reg::kAlarmReset},
    {"FunctionsSelected", reg::kFunctionsSelected},
    {"AnalogSignalOut", reg::kAnalogSignalOut},
    {"AnalogSignalIn", reg::kAnalogSignalIn},
    {"AlarmDelay", reg::kAlarmDelay},
    {"LutSelect", reg::kLutSelect},
    {"TagName", reg::kTagName},
    {"Pressure", reg::kPressure},
    {"LookupIdent", reg::kLookupIdent},
    {"GasName", reg::kSlotGasName},
    {"Gas", reg::kSlotGas},
    {"FlowUnit", reg::kSlotFlowUnit},
    {"Dynamic", reg::kSlotDynamic},
    {"PidSelect", reg::kSlotPidSelect},
    {"Tv_", reg::kPidTv},
    {"Kp_", reg::kPidKp},
    {"Tn_", reg::kPidTn},
    {"N_", reg::kPidN},
    {"TotalisatorUnit", reg::kSlotTotalizerUnit},
};

} // namespace

std::optional<RegisterDescriptor> registerByName(const std::string& name) {
    for (const auto& n : kNames)
        if (sameName(name, n.name)) return n.descriptor;
    for (const auto& r : reg::textCatalogue())
        if (sameName(name, r.name)) return r.descriptor();
    return std::nullopt;
}

bool parseDescriptor(const std::string& text, RegisterDescriptor& out, std::string& error,
                     DescriptorUse use) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) {
        if (auto named = registerByName(text)) {
            out = *named;
            return true;
        }
        long long v;
        if (!integerIn(text, 0, 0xFFFFFFFFLL, v)) {
            error = "bad descriptor \"" + text +
                    "\" (like 0x00060213, 0x0006:float or a register name such as Setpoint)";
            return false;
        }
        // The device layer would refuse it too; say why before the bus is opened.
        const std::string problem = descriptorProblem(static_cast<RegisterDescriptor>(v), use);
        if (!problem.empty()) {
            error = "bad descriptor \"" + text + "\": " + problem;
            return false;
        }
        out = static_cast<RegisterDescriptor>(v);
        return true;
    }
    struct TypeName {
        const char* name;
        uint8_t type;
        uint8_t registers;
    };
    static const TypeName kTypes[] = {
        {"float", kTypeFloat, 2},    {"int16", kTypeInt16, 1}, {"uint16", kTypeUInt16, 1},
        {"uint32", kTypeUInt32, 2},  {"byte", kTypeByte, 1},   {"text8", kTypeText8, 4},
        {"text50", kTypeText50, 25},
    };
    long long reg;
    std::string typeText = text.substr(colon + 1);
    if (!integerIn(text.substr(0, colon), 0, 0xFFFF, reg)) {
        error = "bad register in \"" + text + "\" (0 to 0xFFFF)";
        return false;
    }
    for (const auto& t : kTypes) {
        if (typeText == t.name) {
            out = makeDescriptor(static_cast<uint16_t>(reg), t.registers, t.type);
            return true;
        }
    }
    error = "unknown type \"" + typeText + "\" (float, int16, uint16, uint32, byte, text8, text50)";
    return false;
}

} // namespace getkelo
