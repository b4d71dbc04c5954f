#pragma once
#include <string>
#include <vector>

namespace getkelo {

// The query of a data-set chooser (TDatei): file path, section prefix, filter key, filter
// value and three keys whose values each entry shows. The calibration run asks for
// {file, "DATA", "Mode", "Just", "Date", "Gas", "LutID"}; the filter key "NOP" with the value
// "NOP" admits every section of the prefix.
struct DataSetQuery {
    std::string file, prefix, filterKey, filterValue;
    std::string shown[3];
    // From the string list form (entries 0..6; missing entries are empty).
    static DataSetQuery fromList(const std::vector<std::string>& query);
};

// The chooser's entries: every section whose name contains the prefix and whose filter key
// (read with the default "NOP") equals the filter value, as
// name + "   " + value1 + "   " + value2 + "   " + value3, followed by "°C" when the third
// key is "SetTemp". File order.
std::vector<std::string> dataSetEntries(const DataSetQuery& query);

// The section name at the start of an entry (up to its first blank).
std::string entrySectionName(const std::string& entry);

} // namespace getkelo
