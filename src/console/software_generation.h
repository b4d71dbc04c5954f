#pragma once
#include <cstdint>
#include <string>

namespace getkelo {

enum class SoftwareGeneration { First = 1, Second = 2, Third = 3, Fourth = 4 };

// The leading integer of a version text ("4.3.14" -> 4; no digits -> 0).
int softwareMajor(const std::string& version);
// The leading major.minor part as a decimal number ("4.0.05" -> 4.0, "4,3" -> 4.3).
double softwareNumber(const std::string& version);
SoftwareGeneration softwareGeneration(const std::string& version);
inline bool isSeries4(const std::string& version) {
    return softwareGeneration(version) == SoftwareGeneration::Fourth;
}

// Byte-wise text comparison of version texts ("4.3.15" > "4.3.14", "4.3.2" > "4.3.14").
bool versionAbove(const std::string& version, const std::string& reference);

// Series-4 software above "4.3.14" with the pressure-controller function.
bool hasPressureControl(const std::string& version, uint32_t functions);

} // namespace getkelo
