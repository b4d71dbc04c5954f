#include "comm/service_image.h"

#include "base/cp1252.h"
#include "base/number_format.h"
#include "comm/register_descriptor.h"
#include "comm/value_codec.h"

#include <cmath>
#include <strings.h>

namespace getkelo {
namespace {

constexpr int kTickListBytes = 512;

bool fits(std::span<const uint8_t> image, int offset, int bytes) {
    return offset >= 0 && static_cast<size_t>(offset + bytes) <= image.size();
}

int fieldBytes(const ServiceImageField& f) {
    return f.type == kTypeText8 ? 8 : typeByteCount(f.type);
}

} // namespace

std::string flowTicksKey(int list) {
    return "FlowTicksTemp" + std::to_string(list);
}

const std::vector<ServiceImageField>& serviceImageFields() {
    static const std::vector<ServiceImageField> fields = {
        {"Gain", 0x100E, kTypeByte, 0, 255},
        {"HeatPower", 0x100F, kTypeByte, 0, 255},
        {"Std_Norm", 0x1021, kTypeByte, 0, 255},
        {"Digits", 0x1022, kTypeByte, 0, 255},
        {"Unit", 0x1023, kTypeByte, 0, 255},
        {"TheorMaxFlow", 0x1024, kTypeUInt16, 0, 65535},
        {"PractMaxFlow", 0x1026, kTypeUInt16, 0, 65535},
        {"Zerocut", 0x1028, kTypeInt16, -32768, 32767},
        {"Factor", 0x102A, kTypeByte, 0, 255},
        {"Divisor", 0x102B, kTypeByte, 0, 255},
        {"Step", 0x102C, kTypeByte, 0, 255},
        {"Gas", 0x1210, kTypeText8, 0, 0},
    };
    return fields;
}

const ServiceImageField* findServiceImageField(const std::string& key) {
    for (const ServiceImageField& f : serviceImageFields())
        if (strcasecmp(f.key, key.c_str()) == 0) return &f;
    return nullptr;
}

std::string imageFieldText(std::span<const uint8_t> image, const ServiceImageField& f) {
    if (!fits(image, f.offset, fieldBytes(f))) return "";
    return ValueToText(image.data() + f.offset, f.type);
}

bool setImageField(std::span<uint8_t> image, const ServiceImageField& f, const std::string& text,
                   std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error) *error = std::string(f.key) + ": " + why;
        return false;
    };
    if (!fits(image, f.offset, fieldBytes(f))) return fail("outside the image");
    if (f.type == kTypeText8) {
        // The device reads the text up to its first NUL: seven characters and the end mark.
        if (utf8ToCp1252(text).size() > 7) return fail("more than 7 characters");
        TextToValue(image.data() + f.offset, f.type, text);
        return true;
    }
    long long v = 0;
    if (!parseInteger(text, v)) return fail("\"" + text + "\" is not an integer");
    if (v < f.min || v > f.max)
        return fail(std::to_string(v) + " is outside " + std::to_string(f.min) + ".." +
                    std::to_string(f.max));
    TextToValue(image.data() + f.offset, f.type, std::to_string(v));
    return true;
}

std::vector<int> imageFlowTicks(std::span<const uint8_t> image, int list) {
    std::vector<int> out;
    if (list < 0 || list >= kFlowTickLists) return out;
    for (int j = 0; j < kFlowTicksPerList; ++j) {
        int at = list * kTickListBytes + 2 * j;
        if (!fits(image, at, 2)) break;
        out.push_back(static_cast<int16_t>(image[at] << 8 | image[at + 1]));
    }
    return out;
}

bool setImageFlowTicks(std::span<uint8_t> image, int list, const std::vector<long long>& values,
                       std::string* error) {
    const std::string key = flowTicksKey(list);
    auto fail = [&](const std::string& why) {
        if (error) *error = key + ": " + why;
        return false;
    };
    if (list < 0 || list >= kFlowTickLists) return fail("no such list");
    if (values.size() > static_cast<size_t>(kFlowTicksPerList))
        return fail(std::to_string(values.size()) + " values, at most 256 fit");
    if (!fits(image, list * kTickListBytes, 2 * static_cast<int>(values.size())))
        return fail("outside the image");
    for (long long v : values)
        if (v < -32768 || v > 32767) return fail(std::to_string(v) + " is not a 16-bit value");
    for (size_t j = 0; j < values.size(); ++j)
        TextToValue(image.data() + list * kTickListBytes + 2 * j, kTypeInt16,
                    std::to_string(values[j]));
    return true;
}

double imageFlowScale(std::span<const uint8_t> image) {
    auto number = [&](const char* key) {
        long long v = 0;
        parseInteger(imageFieldText(image, *findServiceImageField(key)), v);
        return static_cast<double>(v);
    };
    double divisor = number("Divisor");
    if (divisor == 0) return 0;
    return number("Factor") / divisor / std::pow(10.0, number("Digits"));
}

} // namespace getkelo
