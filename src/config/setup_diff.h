#pragma once
#include "config/setup_export.h"

#include <string>
#include <vector>

namespace getkelo {

// One key whose value differs between two setups. A key that only one side has is marked
// missing on the other (its value there is empty).
struct SetupDifference {
    std::string section, key;
    std::string before, after;
    bool missingBefore = false, missingAfter = false;
};

// The keys that differ, by section: the sections and keys of `before` in their order, then
// what only `after` has. Names compare without regard to case, as in the files; "Date" and
// "Time" (when the setup was written) are not compared.
std::vector<SetupDifference> diffSetups(const std::vector<SetupSection>& before,
                                        const std::vector<SetupSection>& after);

// Every section of a setup file with its keys in file order; false with the reason when the
// file cannot be read.
bool loadSetupFile(const std::string& path, std::vector<SetupSection>& sections,
                   std::string& error);

} // namespace getkelo
