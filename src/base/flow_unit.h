#pragma once
#include <string>

namespace getkelo {

// Reference conditions of the console: every unit factor it uses is taken at 1013 mbar, 20 °C.
inline constexpr double kConsolePressure = 1013.0;  // mbar
inline constexpr double kConsoleTemperature = 20.0; // °C

// The factor of a flow unit text relative to mln/min (millilitre per minute at normal
// conditions), worked out from the text: "/h" per hour, a leading "l" litre, "m3" cubic metre,
// "s/" standard conditions at pressure p [mbar] and temperature T [°C], "kg/" kilogram.
// Anything else (the gas, "sccm") leaves the factor 1.
double flowUnitFactor(const std::string& unitText, double pressure = kConsolePressure,
                      double temperature = kConsoleTemperature);

// v in unit `fromUnit` expressed in unit `toUnit`. A unit whose factor is 0 gives 0.
double convertFlow(double v, const std::string& fromUnit, const std::string& toUnit,
                   double pressure = kConsolePressure, double temperature = kConsoleTemperature);

// Totalizer units ("mln", "ln", "m3n", "mls", "ls", "m3s", "scc", "kg", ...) are the volume a
// flow unit delivers in one minute: their factor is that of the text + "/min", relative to one
// mln. So "ls" is a litre at standard conditions and "scc" counts like "sccm".
double totalUnitFactor(const std::string& totalUnit, double pressure = kConsolePressure,
                       double temperature = kConsoleTemperature);
double convertTotal(double v, const std::string& fromUnit, const std::string& toUnit,
                    double pressure = kConsolePressure, double temperature = kConsoleTemperature);

// The totalizer unit that belongs to a flow unit: the text before the "/" ("ln/min" -> "ln",
// "sccm" -> "scc"). Used for devices that do not report a totalizer unit of their own.
std::string totalUnitOfFlowUnit(const std::string& flowUnit);

} // namespace getkelo
