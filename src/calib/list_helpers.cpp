#include "calib/list_helpers.h"
#include "base/integer_parse.h"

#include "base/ini_file.h"
#include "base/number_format.h"
#include "comm/value_codec.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace getkelo {

std::vector<std::string> ListItems(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t semi = text.find(';', start);
        out.push_back(text.substr(start, semi == std::string::npos ? semi : semi - start));
        if (semi == std::string::npos) return out;
        start = semi + 1;
    }
}

std::vector<double> ParseFloatList(const std::string& text) {
    std::vector<double> out;
    for (const std::string& item : ListItems(text))
        // Files write "."; a "," ends the number here instead of counting as its point.
        out.push_back(textToDouble(item.substr(0, item.find(','))));
    return out;
}

std::vector<long long> ParseIntList(const std::string& text) {
    std::vector<long long> out;
    for (const std::string& item : ListItems(text))
        out.push_back(leadingInteger(item, LLONG_MIN, LLONG_MAX));
    return out;
}

void AppendFormatted(std::string& list, const std::string& pattern, double value) {
    if (!list.empty()) list += ';';
    list += formatPattern(value, pattern);
}

std::string JoinGridRow(const std::vector<std::string>& row) {
    std::string joined;
    for (size_t i = 1; i < row.size(); ++i) {
        if (i > 1) joined += ';';
        joined += row[i];
    }
    size_t end = joined.find(";;");
    if (end != std::string::npos) joined.erase(end);
    if (!joined.empty() && joined.back() == ';') joined.pop_back();
    return joined;
}

bool WriteIfNotEmpty(IniFile& file, const std::string& section, const std::string& key,
                     const std::string& value) {
    return value.empty() || file.writeString(section, key, value);
}

double ClampValue(double x, double low, double high) {
    if (x < low) return low;
    if (x > high) return high;
    return x;
}

double SafeDivide(double a, double b) {
    return b == 0 ? 3.4e38 : a / b;
}

int ParseVersion(const std::string& text) {
    // "a.b.c" with each part held to what a version word can carry.
    int parts[3] = {0, 0, 0};
    size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        size_t end = at;
        parts[i] = static_cast<int>(leadingInteger(text, -0xFFFF, 0xFFFF, &end, at));
        if (end == at || end >= text.size() || text[end] != '.') break;
        at = end + 1;
    }
    return parts[0] * 256 + parts[1] * 16 + parts[2];
}

std::string FormatVersion(int version) {
    return versionText(static_cast<uint16_t>(version));
}

} // namespace getkelo
