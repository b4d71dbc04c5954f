#include "base/number_format.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace getkelo {
namespace {

void stripTrailingZeros(std::string& s) {
    if (s.find('.') == std::string::npos) return;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
}

std::string trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a])))
        ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1])))
        --b;
    return s.substr(a, b - a);
}

} // namespace

std::string formatGeneral(double v, int digits) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
    if (digits < 1) digits = 1;
    if (digits > 17) digits = 17;
    if (v == 0) return "0";
    char buf[64];
    // Round to the significant digits first; the exponent after rounding decides the layout.
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, v);
    const char* e = std::strchr(buf, 'e');
    int exp10 = std::atoi(e + 1);
    double mag = std::fabs(std::strtod(buf, nullptr));
    if (exp10 < digits && mag >= 0.00001) {
        int decimals = digits - 1 - exp10;
        if (decimals < 0) decimals = 0;
        std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
        std::string s = buf;
        stripTrailingZeros(s);
        if (s == "-0") s = "0";
        return s;
    }
    std::string mant(static_cast<const char*>(buf), e);
    stripTrailingZeros(mant);
    int ax = exp10 < 0 ? -exp10 : exp10;
    std::snprintf(buf, sizeof buf, "E%s%02d", exp10 < 0 ? "-" : "", ax);
    return mant + buf;
}

std::string formatFixedMax(double v, int maxDecimals) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", maxDecimals, v);
    std::string s = buf;
    stripTrailingZeros(s);
    if (s == "-0") s = "0";
    return s;
}

std::string formatPattern(double v, const std::string& pattern) {
    size_t required = 0, optional = 0;
    bool valid = !pattern.empty() && pattern[0] == '0';
    if (valid && pattern.size() > 1) {
        valid = pattern[1] == '.';
        for (size_t i = 2; valid && i < pattern.size(); ++i) {
            if (pattern[i] == '0' && optional == 0)
                ++required;
            else if (pattern[i] == '#')
                ++optional;
            else
                valid = false;
        }
    }
    if (!valid) return formatGeneral(v, 7);
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(required + optional), v);
    std::string s = buf;
    size_t point = s.find('.');
    if (point != std::string::npos) {
        while (s.size() > point + 1 + required && s.back() == '0')
            s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-') s.erase(0, 1);
    return s;
}

double textToDouble(const std::string& text) {
    std::string t = text;
    size_t comma = t.find(',');
    if (comma != std::string::npos) t[comma] = '.';
    // Only decimal notation: strtod would also take hex and "inf"; the operator means neither.
    size_t i = 0;
    while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i])))
        ++i;
    size_t start = i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t digits = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])))
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])))
            ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        if (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) {
            while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j])))
                ++j;
            i = j;
        }
    }
    return std::strtod(t.substr(start, i - start).c_str(), nullptr);
}

float TextToFloat(const std::string& text) {
    return static_cast<float>(textToDouble(text));
}

bool parseNumber(const std::string& text, double& out) {
    std::string t = trim(text);
    size_t comma = t.find(',');
    if (comma != std::string::npos) t[comma] = '.';
    if (t.empty()) return false;
    char* end = nullptr;
    out = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size()) return false;
    return std::isfinite(out);
}

} // namespace getkelo
