#include "comm/value_codec.h"

#include "base/cp1252.h"
#include "base/number_format.h"
#include "comm/register_descriptor.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace getkelo {

int typeByteCount(uint8_t type) {
    switch (type) {
    case kTypeFloat:
        return 4;
    case kTypeInt16:
    case kTypeUInt16:
        return 2;
    case kTypeUInt32:
        return 4;
    case kTypeByte:
        return 1;
    case kTypeText8:
        return 8;
    case kTypeText50:
        return 50;
    default:
        return 0;
    }
}

namespace {

uint32_t bigEndian(const uint8_t* d, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = v << 8 | d[i];
    return v;
}

std::string textUpTo(const uint8_t* d, int max) {
    int n = 0;
    while (n < max && d[n] != 0)
        ++n;
    return cp1252ToUtf8(std::string(reinterpret_cast<const char*>(d), n));
}

} // namespace

uint32_t wrappingInteger(const std::string& t) {
    size_t i = 0;
    while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i])))
        ++i;
    bool neg = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
    uint32_t v = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])))
        v = v * 10u + static_cast<uint32_t>(t[i++] - '0');
    return neg ? 0u - v : v;
}

std::string ValueToText(const uint8_t* data, uint8_t type) {
    switch (type) {
    case kTypeText8:
        return textUpTo(data, 7); // the eighth byte never belongs to the text
    case kTypeText50:
        return textUpTo(data, 50);
    case kTypeInt16:
        return std::to_string(static_cast<int16_t>(bigEndian(data, 2)));
    case kTypeUInt16:
        return std::to_string(static_cast<uint16_t>(bigEndian(data, 2)));
    case kTypeUInt32:
        return std::to_string(bigEndian(data, 4));
    case kTypeByte:
        return std::to_string(data[0]);
    case kTypeFloat: {
        uint32_t bits = bigEndian(data, 4);
        bool neg = bits & 0x80000000u;
        if ((bits & 0x7F800000u) == 0x7F800000u)
            return std::string(neg ? "-" : "") + ((bits & 0x007FFFFFu) ? "NaN" : "INF");
        float f;
        std::memcpy(&f, &bits, 4);
        return formatGeneral(f, 7);
    }
    default:
        return "";
    }
}

void TextToValue(uint8_t* dst, uint8_t type, const std::string& text) {
    if (type == kTypeText8 || type == kTypeText50) {
        int n = type == kTypeText8 ? 8 : 50;
        std::string raw = utf8ToCp1252(text);
        // Bytes after the text are NUL: the device reads up to the first NUL.
        for (int i = 0; i < n; ++i)
            dst[i] = i < static_cast<int>(raw.size()) ? raw[i] : 0;
        return;
    }
    int n = typeByteCount(type);
    if (n == 0) return;
    uint32_t v;
    if (type == kTypeFloat) {
        std::string up;
        for (char c : text)
            up += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        bool nan = up.find("NAN") != std::string::npos;
        if (nan || up.find("INF") != std::string::npos) {
            v = nan ? 0x7FFFFFFFu : 0x7F800000u;
            if (!text.empty() && text[0] == '-') v |= 0x80000000u;
        } else {
            float f = static_cast<float>(textToDouble(text));
            std::memcpy(&v, &f, 4);
        }
    } else {
        v = wrappingInteger(text);
    }
    for (int i = 0; i < n; ++i)
        dst[i] = static_cast<uint8_t>(v >> (8 * (n - 1 - i)));
}

std::string versionText(uint16_t w) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%d.%d.%02d", w >> 8, (w >> 4) & 0x0F, w & 0x0F);
    return buf;
}

} // namespace getkelo
