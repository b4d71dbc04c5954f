#include "config/setup_diff.h"

#include "base/ini_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <strings.h>

namespace getkelo {
namespace {

bool same(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool ignored(const std::string& key) {
    return same(key, "Date") || same(key, "Time");
}

const SetupSection* findSection(const std::vector<SetupSection>& sections,
                                const std::string& name) {
    for (const SetupSection& s : sections)
        if (same(s.name, name)) return &s;
    return nullptr;
}

const std::string* findValue(const SetupSection* s, const std::string& key) {
    if (!s) return nullptr;
    for (const auto& [k, v] : s->values)
        if (same(k, key)) return &v;
    return nullptr;
}

} // namespace

std::vector<SetupDifference> diffSetups(const std::vector<SetupSection>& before,
                                        const std::vector<SetupSection>& after) {
    std::vector<SetupDifference> out;
    for (const SetupSection& b : before) {
        const SetupSection* a = findSection(after, b.name);
        for (const auto& [key, value] : b.values) {
            if (ignored(key)) continue;
            const std::string* other = findValue(a, key);
            if (!other)
                out.push_back({b.name, key, value, "", false, true});
            else if (*other != value)
                out.push_back({b.name, key, value, *other});
        }
        if (!a) continue;
        for (const auto& [key, value] : a->values)
            if (!ignored(key) && !findValue(&b, key))
                out.push_back({b.name, key, "", value, true, false});
    }
    for (const SetupSection& a : after) {
        if (findSection(before, a.name)) continue;
        for (const auto& [key, value] : a.values)
            if (!ignored(key)) out.push_back({a.name, key, "", value, true, false});
    }
    return out;
}

bool loadSetupFile(const std::string& path, std::vector<SetupSection>& sections,
                   std::string& error) {
    if (!std::ifstream(path, std::ios::binary)) {
        error = "\"" + path + "\": " + std::strerror(errno ? errno : ENOENT);
        return false;
    }
    IniFile file(path);
    sections.clear();
    for (const std::string& name : file.sectionNames())
        sections.push_back({name, file.sectionPairs(name)});
    return true;
}

} // namespace getkelo
