#include "config/konfig2_fields.h"

#include "base/cp1252.h"
#include "base/number_format.h"
#include "comm/lookup_table_slot.h"
#include "comm/value_codec.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <strings.h>

namespace getkelo {
namespace {

RegisterDescriptor text(uint16_t r) {
    return makeDescriptor(r, 4, kTypeText8);
}

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

} // namespace

FieldKind Konfig2Field::kind() const {
    if (version) return FieldKind::Version;
    switch (descType(descriptor)) {
    case kTypeFloat:
        return FieldKind::Float;
    case kTypeInt16:
        return FieldKind::Int16;
    case kTypeUInt32:
        return FieldKind::UInt32;
    case kTypeText8:
        return FieldKind::Text;
    default:
        return FieldKind::UInt16;
    }
}

const std::vector<Konfig2Field>& konfig2Fields() {
    static const std::vector<Konfig2Field> fields = {
        {"TUnit", text(0x4048)},
        {"TotFactor", floatAt(0x4046)},
        {"SNo", uint32At(0x001E)},
        {"TypeCode0", text(0x0023)},
        {"TypeCode2", text(0x1004)},
        {"HWVer", uint16At(0x0020), true, true},
        {"Functions", uint32At(0x4082)},
        {"AnalogSource", uint16At(0x4086)},
        {"FilterLimit", floatAt(0x4088)},
        {"FilterAvrge", uint16At(0x408A)},
        {"Dynamic", uint16At(0x4100)},
        {"PWMLin", uint16At(0x4124)},
        {"ValveAHI", uint16At(0x4125)},
        {"TInterval", uint16At(0x4126)},
        {"TResolution", uint16At(0x4127)},
        {"k0_mA_Output", int16At(0x4130)},
        {"k1_mA_Output", floatAt(0x4131)},
        {"k0_mA_Input", uint16At(0x4133)},
        {"k1_mA_Input", floatAt(0x4134)},
        {"k0_V_Input", uint16At(0x4136)},
        {"k1_V_Input", floatAt(0x4137)},
        {"VSTFlow", uint16At(0x4111)},
        {"TempUnit", text(0x100A)},
        {"PressUnit", text(0x100E)},
        {"Temperatur", floatAt(0x1008)},
        {"Range", floatAt(0x0014)},
        {"FUnit", text(0x0016)},
        {"GasBox", text(0x001A)},
        {"kn_sccm", floatAt(0x4080)},
        {"k0_Temp", floatAt(0x411C)},
        {"k1_Temp", floatAt(0x411E)},
        {"Theta", floatAt(0x4120)},
        {"k1_Flow", floatAt(0x410E)},
        {"k0_Flow", int16At(0x4110)},
        {"kFFTT", floatAt(0x4112)},
        {"kFFT", floatAt(0x4114)},
        {"kFTT", floatAt(0x4116)},
        {"kFT", floatAt(0x4118)},
        {"LuTNrEdit", uint32At(0x0955)},
        {"LuTInfoEdit", uint16At(0x0957)},
        {"SWVer", uint16At(0x0021), false, true},
        {"Reg1012", floatAt(0x1012), false},
    };
    return fields;
}

const Konfig2Field* findKonfig2Field(const std::string& name) {
    for (const Konfig2Field& f : konfig2Fields())
        if (name == f.name) return &f;
    return nullptr;
}

const std::vector<RegisterGroup>& konfig2Groups() {
    static const std::vector<RegisterGroup> groups = {
        {0x001E, 9}, {0x0014, 10}, {0x4080, 12}, {0x410E, 12},
        {0x411C, 6}, {0x4124, 4},  {0x4130, 9},  {0x0955, 3},
    };
    return groups;
}

const std::vector<std::string>& konfig2SlotKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (const LutParameter& p : lutParameters())
            k.push_back(p.key);
        k.push_back("PressIn");
        k.push_back("PressOut");
        return k;
    }();
    return keys;
}

FieldKind slotKeyKind(const std::string& key) {
    const LutParameter* p = findLutParameter(key);
    if (!p) return FieldKind::Float; // "PressIn", "PressOut"
    switch (p->type) {
    case kTypeText8:
        return FieldKind::Text;
    case kTypeInt16:
        return FieldKind::Int16;
    case kTypeUInt16:
        return FieldKind::UInt16;
    case kTypeUInt32:
        return FieldKind::UInt32;
    default:
        return FieldKind::Float;
    }
}

const std::vector<std::string>& flowUnitChoices() {
    static const std::vector<std::string> c = {"mln/min", "ln/min", "ln/h",  "m3n/h", "mls/min",
                                               "ls/min",  "ls/h",   "m3s/h", "sccm",  "g/min"};
    return c;
}
const std::vector<std::string>& totalUnitChoices() {
    static const std::vector<std::string> c = {"mln", "ln",  "m3n", "mls", "ls",
                                               "m3s", "scc", "g",   "kg"};
    return c;
}
const std::vector<std::string>& vstFlowChoices() {
    static const std::vector<std::string> c = {"1", "4", "10", "20", "40", "80", "200", "800"};
    return c;
}

bool checkFieldText(FieldKind kind, const std::string& raw, std::string& deviceText,
                    FieldProblem* why) {
    auto no = [why](FieldProblem reason) {
        if (why) *why = reason;
        return false;
    };
    const std::string t = trimmed(raw);
    switch (kind) {
    case FieldKind::Text: {
        const std::string bytes = utf8ToCp1252(raw);
        if (cp1252ToUtf8(bytes) != raw) return no(FieldProblem::BadCharacter);
        if (bytes.size() > 7) return no(FieldProblem::TooLong);
        deviceText = raw;
        return true;
    }
    case FieldKind::Float: {
        for (const char* mark : {"NaN", "-NaN", "INF", "-INF"})
            if (strcasecmp(t.c_str(), mark) == 0) {
                deviceText = mark;
                return true;
            }
        double v;
        if (!parseNumber(t, v)) return no(FieldProblem::NotANumber);
        if (!(std::fabs(v) <= FLT_MAX)) return no(FieldProblem::TooLarge);
        deviceText = formatGeneral(v, 9); // nine digits bring every float back exactly
        return true;
    }
    case FieldKind::Version: {
        int a, b, c, n = 0;
        if (std::sscanf(t.c_str(), "%d.%d.%d%n", &a, &b, &c, &n) != 3 ||
            n != static_cast<int>(t.size()))
            return no(FieldProblem::BadVersion);
        if (a < 0 || a > 255 || b < 0 || b > 15 || c < 0 || c > 15)
            return no(FieldProblem::BadVersion);
        deviceText = std::to_string(a << 8 | b << 4 | c);
        return true;
    }
    default: {
        long long v;
        const long long low = kind == FieldKind::Int16 ? -32768 : 0;
        const long long high = kind == FieldKind::Int16    ? 32767
                               : kind == FieldKind::UInt16 ? 65535
                                                           : 4294967295LL;
        if (!parseInteger(t, v)) return no(FieldProblem::NotAnInteger);
        if (v < low || v > high) return no(FieldProblem::OutOfRange);
        deviceText = std::to_string(v);
        return true;
    }
    }
}

std::string versionFieldText(const std::string& registerText) {
    long long v;
    if (!parseInteger(registerText, v) || v < 0 || v > 0xFFFF) return registerText;
    return versionText(static_cast<uint16_t>(v));
}

} // namespace getkelo
