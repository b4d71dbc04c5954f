#pragma once
#include "comm/register_catalogue.h"

namespace getkelo::reg {

// Registers of the series-4 parameter pages and the pressure controller settings that no
// other part of the program uses.
inline constexpr RegisterDescriptor kPowerUpMode = makeDescriptor(0x4040, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kLutCountS4 = makeDescriptor(0x5301, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kSlotTotalizerN = makeDescriptor(0x6382, 2, kTypeFloat);

// Filter block: nine registers from 0x5C08, written in one request.
inline constexpr uint16_t kFilterBlockStart = 0x5C08;
inline constexpr int kFilterBlockRegisters = 9;

// Profibus.
inline constexpr RegisterDescriptor kProfibusAdress = makeDescriptor(0x5900, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kProfibusNoAddChg = makeDescriptor(0x5901, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kProfibusIndexed = makeDescriptor(0x5940, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kProfibusAddressSlot = makeDescriptor(0x5941, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kProfibusDataSlot = makeDescriptor(0x5942, 1, kTypeUInt16);

// Pressure controller.
inline constexpr RegisterDescriptor kPressScaleZeroS4 = makeDescriptor(0x5F02, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressScaleFullS4 = makeDescriptor(0x5F04, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressSetpointS4 = makeDescriptor(0x5F06, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressFlowLimitS4 = makeDescriptor(0x5F0C, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressSwitchWord = makeDescriptor(0x5F0F, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressActiveSetS4 = makeDescriptor(0x5F10, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressK0S4 = makeDescriptor(0x5F11, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressK1S4 = makeDescriptor(0x5F13, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressSetSelectorS4 = makeDescriptor(0x5F1F, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressKpS4 = makeDescriptor(0x5F20, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressKiS4 = makeDescriptor(0x5F22, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressKdS4 = makeDescriptor(0x5F24, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressTagNameS4 = makeDescriptor(0x5F27, 25, kTypeText50);
inline constexpr RegisterDescriptor kPressMeasureFilter = makeDescriptor(0x5515, 1, kTypeInt16);
inline constexpr uint16_t kPressFlowLimitBit = 1u << 0;
inline constexpr uint16_t kPressInvertBit = 1u << 1;

// Analog signals of the production page.
inline constexpr RegisterDescriptor kVoltageOutActive = makeDescriptor(0x5500, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kVoltageInActive = makeDescriptor(0x5504, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kCurrentInUserMin = makeDescriptor(0x5505, 2, kTypeFloat);
inline constexpr RegisterDescriptor kCurrentInUserMax = makeDescriptor(0x5507, 2, kTypeFloat);
inline constexpr RegisterDescriptor kVoltageInUserMin = makeDescriptor(0x5509, 2, kTypeFloat);
inline constexpr RegisterDescriptor kVoltageInUserMax = makeDescriptor(0x550B, 2, kTypeFloat);
inline constexpr RegisterDescriptor kCurrentOutUserMin = makeDescriptor(0x550D, 2, kTypeFloat);
inline constexpr RegisterDescriptor kCurrentOutUserMax = makeDescriptor(0x550F, 2, kTypeFloat);
inline constexpr RegisterDescriptor kVoltageOutUserMin = makeDescriptor(0x5511, 2, kTypeFloat);
inline constexpr RegisterDescriptor kVoltageOutUserMax = makeDescriptor(0x5513, 2, kTypeFloat);
// The analog mode that takes the user ranges.
inline constexpr const char* kAnalogUserRange = "5";

} // namespace getkelo::reg
