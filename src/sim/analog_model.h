#pragma once
#include <cstdint>

namespace getkelo::sim {

class SimDevice;

// The analog output and set-point input of a device with DeviceConfig::analogIo. Both
// converters count 2^20 steps over the full scale of their signal (20 mA, 5 V or 10 V, from
// the first character of the type code at 0x1004, as the console reads it); the zero
// coefficients k0 are in these steps, the gain coefficients k1 are factors.
//
// Output: the device commands v (the value in 0x0028 while the control mode is the output test
// 23, otherwise the flow's share of the full scale) as v * DACk1 plus DACk0 steps; the physical
// output is that times (1 + outGainError) plus outZeroError.
// Input: the converter sees the applied signal s as s * (1 + inGainError) + inZeroError; the
// device shows ADCk1 * (seen - ADCk0 steps) in 0x0008 (the current or voltage pair by its
// signal). So coefficients that undo the errors make the output put out v and 0x0008 show s.
inline constexpr double kAnalogSteps = 1 << 20;

// Full scale of the device's analog signals, and whether they are currents.
double analogFullScale(const SimDevice& d);
bool analogIsCurrent(const SimDevice& d);

// What the output puts out now (what a reference meter on it reads).
double analogOutput(const SimDevice& d, double flow);
// What the device reads from its set-point input (register 0x0008).
double analogInputReading(const SimDevice& d);

} // namespace getkelo::sim
