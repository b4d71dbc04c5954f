#include "base/integer_parse.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace getkelo {
namespace {

constexpr unsigned long long kMagnitudeLimit =
    static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1;

int digitValue(char c, int base) {
    if (c >= '0' && c <= '9') return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool blank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Adds one digit to a magnitude unless that would pass `limit`.
bool appendDigit(unsigned long long& v, int base, int digit, unsigned long long limit) {
    if (v > (limit - static_cast<unsigned>(digit)) / static_cast<unsigned>(base)) return false;
    v = v * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    return true;
}

long long signedValue(unsigned long long magnitude, bool negative) {
    if (!negative) return static_cast<long long>(magnitude);
    if (magnitude == kMagnitudeLimit) return std::numeric_limits<long long>::min();
    return -static_cast<long long>(magnitude);
}

} // namespace

bool parseInteger(const std::string& text, long long& out) {
    size_t i = 0, n = text.size();
    while (i < n && blank(text[i]))
        ++i;
    while (n > i && blank(text[n - 1]))
        --n;
    if (i >= n) return false;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    int base = 10;
    if (n - i >= 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < n && text[i] == '$') {
        base = 16;
        i += 1;
    }
    if (i >= n) return false;
    const unsigned long long limit = negative ? kMagnitudeLimit : kMagnitudeLimit - 1;
    unsigned long long v = 0;
    for (; i < n; ++i) {
        const int d = digitValue(text[i], base);
        if (d < 0 || !appendDigit(v, base, d, limit)) return false;
    }
    out = signedValue(v, negative);
    return true;
}

bool parseIntegerIn(const std::string& text, long long min, long long max, long long& out) {
    long long v;
    if (!parseInteger(text, v) || v < min || v > max) return false;
    out = v;
    return true;
}

long long leadingInteger(const std::string& text, long long min, long long max, size_t* end,
                         size_t start) {
    size_t i = start;
    while (i < text.size() && blank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned long long v = 0;
    bool saturated = false, any = false;
    for (; i < text.size(); ++i) {
        const int d = digitValue(text[i], 10);
        if (d < 0) break;
        any = true;
        if (!saturated && !appendDigit(v, 10, d, kMagnitudeLimit)) saturated = true;
    }
    if (end) *end = any ? i : start;
    if (!any) return std::clamp(0LL, min, max);
    if (saturated || (!negative && v == kMagnitudeLimit)) return negative ? min : max;
    return std::clamp(signedValue(v, negative), min, max);
}

} // namespace getkelo
