#include "base/flow_unit.h"

namespace getkelo {

namespace {

std::string trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool contains(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

} // namespace

double flowUnitFactor(const std::string& unitText, double pressure, double temperature) {
    // Device unit texts come from fixed-size registers and may carry padding.
    const std::string u = trimmed(unitText);
    double f = 1.0;
    if (contains(u, "/h")) f *= 1.0 / 60.0;
    if (!u.empty() && u[0] == 'l') f *= 1000.0;
    if (contains(u, "m3")) f *= 1000000.0;
    if (contains(u, "s/")) {
        // Standard conditions hold less gas per volume than normal ones (0 °C, 1013 mbar).
        // Written as a product so a pressure of 0 gives factor 0 rather than a division by 0.
        f *= pressure / 1013.0 * (273.15 / (temperature + 273.15));
    }
    if (contains(u, "kg/")) f *= 1000.0;
    return f;
}

double convertFlow(double v, const std::string& fromUnit, const std::string& toUnit,
                   double pressure, double temperature) {
    const double to = flowUnitFactor(toUnit, pressure, temperature);
    if (to == 0.0) return 0.0;
    return v * flowUnitFactor(fromUnit, pressure, temperature) / to;
}

double totalUnitFactor(const std::string& totalUnit, double pressure, double temperature) {
    return flowUnitFactor(trimmed(totalUnit) + "/min", pressure, temperature);
}

double convertTotal(double v, const std::string& fromUnit, const std::string& toUnit,
                    double pressure, double temperature) {
    const double to = totalUnitFactor(toUnit, pressure, temperature);
    if (to == 0.0) return 0.0;
    return v * totalUnitFactor(fromUnit, pressure, temperature) / to;
}

std::string totalUnitOfFlowUnit(const std::string& flowUnit) {
    const std::string u = trimmed(flowUnit);
    size_t slash = u.find('/');
    if (slash != std::string::npos) return u.substr(0, slash);
    // "sccm": the trailing "m" is the minute.
    if (u.size() > 1 && u.back() == 'm') return u.substr(0, u.size() - 1);
    return u;
}

} // namespace getkelo
