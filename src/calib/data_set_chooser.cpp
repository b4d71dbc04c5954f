#include "calib/data_set_chooser.h"

#include "base/ini_file.h"

#include <algorithm>
#include <cctype>

namespace getkelo {

DataSetQuery DataSetQuery::fromList(const std::vector<std::string>& q) {
    auto at = [&](size_t i) { return i < q.size() ? q[i] : std::string(); };
    DataSetQuery out{at(0), at(1), at(2), at(3), {at(4), at(5), at(6)}};
    return out;
}

std::vector<std::string> dataSetEntries(const DataSetQuery& q) {
    std::vector<std::string> entries;
    if (q.file.empty()) return entries;
    IniFile file(q.file);
    for (const std::string& name : file.sectionNames()) {
        if (name.find(q.prefix) == std::string::npos) continue;
        if (file.readString(name, q.filterKey, "NOP") != q.filterValue) continue;
        std::string entry = name;
        for (const std::string& key : q.shown)
            entry += "   " + file.readString(name, key);
        if (q.shown[2] == "SetTemp") entry += "°C";
        entries.push_back(entry);
    }
    return entries;
}

std::string entrySectionName(const std::string& entry) {
    return entry.substr(0, entry.find(' '));
}

} // namespace getkelo
