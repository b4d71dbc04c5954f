#pragma once
#include "comm/register_catalogue.h"

namespace getkelo::graphreg {

using namespace getkelo::reg;

// Registers only the graph windows use.
inline constexpr RegisterDescriptor kSlotFlowRange = makeDescriptor(0x6020, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressureRange = makeDescriptor(0x5F04, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressureSetpoint = makeDescriptor(0x5F06, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressureMode = makeDescriptor(0x5F0E, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressureActiveSet = makeDescriptor(0x5F10, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressureSetSelector = makeDescriptor(0x5F1F, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressureKp = makeDescriptor(0x5F20, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressureKi = makeDescriptor(0x5F22, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressureKd = makeDescriptor(0x5F24, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressureN = makeDescriptor(0x5F26, 1, kTypeUInt16);

} // namespace getkelo::graphreg
