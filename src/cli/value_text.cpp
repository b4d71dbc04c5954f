#include "cli/value_text.h"

#include "base/cp1252.h"
#include "base/number_format.h"
#include "comm/register_descriptor.h"

#include <cctype>
#include <cfloat>
#include <cmath>

namespace getkelo::cli {
namespace {

struct IntegerRange {
    uint8_t type;
    const char* name;
    long long min, max;
};

constexpr IntegerRange kIntegers[] = {
    {kTypeInt16, "int16", -32768, 32767},
    {kTypeUInt16, "uint16", 0, 65535},
    {kTypeUInt32, "uint32", 0, 4294967295LL},
    {kTypeByte, "byte", 0, 255},
};

bool isSpelledOutFloat(std::string t) {
    for (char& c : t)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.erase(0, 1);
    return t == "nan" || t == "inf" || t == "infinity";
}

} // namespace

bool checkValueText(uint8_t type, const std::string& text, std::string& wire, std::string& error) {
    const std::string quoted = "\"" + text + "\"";
    if (type == kTypeText8 || type == kTypeText50) {
        // A text8 register keeps its eighth byte for the end of the text.
        const size_t room = type == kTypeText8 ? 7 : 50;
        if (utf8ToCp1252(text).size() > room) {
            error = quoted + " is longer than the " + std::to_string(room) +
                    " characters the register holds";
            return false;
        }
        wire = text;
        return true;
    }
    double number = 0;
    const bool isNumber = parseNumber(text, number);
    if (type == kTypeFloat) {
        if (isSpelledOutFloat(text)) {
            wire = text;
            return true;
        }
        if (!isNumber) {
            error = quoted + " is not a number";
            return false;
        }
        if (std::fabs(number) > FLT_MAX) {
            error = quoted + " is beyond the float range (3.4E38)";
            return false;
        }
        wire = text;
        return true;
    }
    for (const IntegerRange& r : kIntegers) {
        if (r.type != type) continue;
        long long v = 0;
        const bool whole = isNumber && number == std::trunc(number) && std::fabs(number) < 1e18;
        if (!parseInteger(text, v) && whole)
            v = static_cast<long long>(number); // "1e3", "5.0"
        else if (!parseInteger(text, v)) {
            error = quoted + (isNumber ? " is not a whole number" : " is not a number") + " (" +
                    r.name + ")";
            return false;
        }
        if (v < r.min || v > r.max) {
            error = quoted + " is outside " + std::to_string(r.min) + ".." + std::to_string(r.max) +
                    " (" + r.name + ")";
            return false;
        }
        wire = std::to_string(v);
        return true;
    }
    error = "no value can be written with type code " + std::to_string(type);
    return false;
}

} // namespace getkelo::cli
