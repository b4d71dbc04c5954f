#include "calib/section_names.h"
#include "base/integer_parse.h"

#include "base/ini_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace getkelo {
namespace {

// Section names compare without regard to case, as the file accessor finds them.
bool containsNoCase(const std::string& text, const std::string& part) {
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
    });
    return it != text.end();
}

constexpr long long kMaxIndex = 1000000000; // beyond this an index is not a count any more

} // namespace

long long sectionIndex(const std::string& sectionName, const std::string& prefix) {
    if (sectionName.size() <= prefix.size()) return 0;
    return leadingInteger(sectionName, -kMaxIndex, kMaxIndex, nullptr, prefix.size());
}

std::string nextSectionName(const IniFile& file, const std::string& prefix) {
    bool any = false;
    long long highest = 0;
    for (const std::string& name : file.sectionNames()) {
        if (!containsNoCase(name, prefix)) continue;
        long long n = sectionIndex(name, prefix);
        highest = any ? std::max(highest, n) : n;
        any = true;
    }
    long long next = any ? highest + 1 : 0;
    if (next < 0) next = 0;
    // A name that is taken after all (DATA7 beside an odd DATA-3x) moves on.
    while (file.sectionExists(prefix + std::to_string(next)))
        ++next;
    return prefix + std::to_string(next);
}

std::string NextSectionName(const std::string& filePath, const std::string& prefix) {
    return nextSectionName(IniFile(filePath), prefix);
}

} // namespace getkelo
