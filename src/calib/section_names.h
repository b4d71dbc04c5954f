#pragma once
#include <string>

namespace getkelo {

class IniFile;

// Section names of a calibration data file: "DATA", "DATAIO" and "LOOKUP" followed by a
// decimal index. The next name is the prefix and one more than the highest index among the
// sections whose names contain the prefix (the text after as many characters as the prefix
// has, read as a number; a non-number counts 0), or prefix + "0" when none does. So the
// DATAIO sections count for "DATA" too. Indices are never reused, gaps stay, and the name
// returned never names a section the file already has.
std::string NextSectionName(const std::string& filePath, const std::string& prefix);
std::string nextSectionName(const IniFile& file, const std::string& prefix);

// The index after the prefix in a section name (its first characters past the prefix's
// length, read as a number); 0 when they are no number.
long long sectionIndex(const std::string& sectionName, const std::string& prefix);

} // namespace getkelo
