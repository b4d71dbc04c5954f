#pragma once
#include "comm/register_descriptor.h"

namespace getkelo::calreg {

// Registers of the calibration windows (devices with the lookup-table slots at 0x0836).
// "SelectSccmTicks": 1 makes the flow register show the raw sensor value (ticks).
inline constexpr RegisterDescriptor kSelectTicks = makeDescriptor(0x0027, 1, kTypeUInt16);
// The flow register read as the raw 32-bit sensor value while ticks are selected.
inline constexpr RegisterDescriptor kFlowTicks = makeDescriptor(0x0000, 2, kTypeUInt32);
// The zero offset of the active table (slot 0) and of the device.
inline constexpr RegisterDescriptor kLutOffset = makeDescriptor(0x0940, 1, kTypeInt16);
inline constexpr RegisterDescriptor kFlowOffset = makeDescriptor(0x4110, 1, kTypeInt16);
// The sensor gain ("VSTFlow").
inline constexpr RegisterDescriptor kGain = makeDescriptor(0x4111, 1, kTypeUInt16);
// The flow that the table values are fractions of.
inline constexpr RegisterDescriptor kTableFlow = makeDescriptor(0x4080, 2, kTypeFloat);
// Identity and information word of the active table (slot 0).
inline constexpr RegisterDescriptor kLutIdent = makeDescriptor(0x0955, 2, kTypeUInt32);
inline constexpr RegisterDescriptor kLutInfo = makeDescriptor(0x0957, 1, kTypeUInt16);
inline constexpr const char* kComputedLutInfo = "8196"; // 0x2004: a computed table

// Analog output: the value driven in test mode, and its coefficients.
inline constexpr RegisterDescriptor kAnalogOut = makeDescriptor(0x0028, 2, kTypeFloat);
inline constexpr RegisterDescriptor kDacK0 = makeDescriptor(0x4130, 1, kTypeInt16);
inline constexpr RegisterDescriptor kDacK1 = makeDescriptor(0x4131, 2, kTypeFloat);
// Analog set-point input: the device's reading, and its coefficients for current and voltage.
inline constexpr RegisterDescriptor kAnalogIn = makeDescriptor(0x0008, 2, kTypeFloat);
inline constexpr RegisterDescriptor kAdcCurrentK0 = makeDescriptor(0x4133, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kAdcCurrentK1 = makeDescriptor(0x4134, 2, kTypeFloat);
inline constexpr RegisterDescriptor kAdcVoltageK0 = makeDescriptor(0x4136, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kAdcVoltageK1 = makeDescriptor(0x4137, 2, kTypeFloat);
// Control mode code of the output test: the output follows kAnalogOut.
inline constexpr int kAnalogTestMode = 23;

} // namespace getkelo::calreg
