#include "console/software_generation.h"

#include "base/number_format.h"

#include <cctype>

namespace getkelo {

int softwareMajor(const std::string& version) {
    size_t i = 0;
    while (i < version.size() && version[i] == ' ')
        ++i;
    int v = 0;
    while (i < version.size() && std::isdigit(static_cast<unsigned char>(version[i])) && v < 100000)
        v = v * 10 + (version[i++] - '0');
    return v;
}

double softwareNumber(const std::string& version) {
    // The text reads as a number up to its second point: "4.0.05" is 4.0.
    return textToDouble(version);
}

SoftwareGeneration softwareGeneration(const std::string& version) {
    if (softwareMajor(version) < 2) return SoftwareGeneration::First;
    double n = softwareNumber(version);
    if (n <= 3.0 || n == 4.0) return SoftwareGeneration::Second;
    if (n < 4.0) return SoftwareGeneration::Third;
    return SoftwareGeneration::Fourth;
}

bool versionAbove(const std::string& version, const std::string& reference) {
    // Unsigned byte order, as a plain text compare does it.
    return version.compare(reference) > 0;
}

bool hasPressureControl(const std::string& version, uint32_t functions) {
    return isSeries4(version) && versionAbove(version, "4.3.14") && (functions & (1u << 5));
}

} // namespace getkelo
