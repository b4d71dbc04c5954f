#pragma once
#include "comm/register_catalogue.h"

namespace getkelo::sim::reg {

using namespace getkelo::reg;

// Registers the shared catalogue does not name: pages and dialogs that alone use them name
// them in the program; the simulated devices need them all in one place.
inline constexpr RegisterDescriptor kAnalogValue = makeDescriptor(0x0008, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPidBlockOld = makeDescriptor(0x002D, 7, kTypeUInt16);
inline constexpr RegisterDescriptor kPidDOld = makeDescriptor(0x002D, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPidPOld = makeDescriptor(0x002E, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPidIOld = makeDescriptor(0x0030, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPidNOld = makeDescriptor(0x0032, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPidFOld = makeDescriptor(0x0033, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kTotalizerMode = makeDescriptor(0x4043, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kEepromMode = makeDescriptor(0x4050, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kFunctionsAvailable = makeDescriptor(0x4128, 2, kTypeUInt32);
inline constexpr RegisterDescriptor kEepromSize = makeDescriptor(0x5300, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kLutCount = makeDescriptor(0x5301, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressFilter = makeDescriptor(0x5515, 1, kTypeInt16);
inline constexpr RegisterDescriptor kProfibusAddress = makeDescriptor(0x5900, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kFilterType = makeDescriptor(0x5C08, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kFilterBand = makeDescriptor(0x5C0D, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressScaleZero = makeDescriptor(0x5F02, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressScaleFull = makeDescriptor(0x5F04, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressSetpoint = makeDescriptor(0x5F06, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressFlowLimit = makeDescriptor(0x5F0C, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressSwitches = makeDescriptor(0x5F0F, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressActiveSet = makeDescriptor(0x5F10, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressK0 = makeDescriptor(0x5F11, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressK1 = makeDescriptor(0x5F13, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressSetSelector = makeDescriptor(0x5F1F, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressKp = makeDescriptor(0x5F20, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressKi = makeDescriptor(0x5F22, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressKd = makeDescriptor(0x5F24, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressN = makeDescriptor(0x5F26, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressTagName = makeDescriptor(0x5F27, 25, kTypeText50);
inline constexpr RegisterDescriptor kLookupInfo = makeDescriptor(0x6002, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kSlotRange = makeDescriptor(0x6020, 2, kTypeFloat);
inline constexpr RegisterDescriptor kSlotTotalizerN = makeDescriptor(0x6382, 2, kTypeFloat);

// Lookup-table slots of the generations before series 4: slot k at 0x0836 + k x 0x12A,
// 129 floats, then the slot's parameters (offsets from the slot's first register).
inline constexpr uint16_t kLutSlotBase = 0x0836;
inline constexpr uint16_t kLutSlotSize = 0x12A;
inline constexpr uint16_t kLutValues = 129;
inline constexpr uint16_t kLutOffFlowUnit = 0x094B - kLutSlotBase;
inline constexpr uint16_t kLutOffRange = 0x094F - kLutSlotBase;
inline constexpr uint16_t kLutOffGas = 0x0951 - kLutSlotBase;
inline constexpr uint16_t kLutOffIdent = 0x0955 - kLutSlotBase;
inline constexpr uint16_t kLutOffInfo = 0x0957 - kLutSlotBase;
inline constexpr uint16_t kLutOffPressure = 0x0958 - kLutSlotBase;

// Series-4 windows whose registers show the slot or set chosen by a selector.
inline constexpr uint16_t kSlotWindowFirst = 0x6000;
inline constexpr uint16_t kSlotWindowLast = 0x63FF;
inline constexpr uint16_t kPidWindowFirst = 0x6202;
inline constexpr uint16_t kPidWindowLast = 0x6209;
inline constexpr uint16_t kPressPidWindowFirst = 0x5F20;
inline constexpr uint16_t kPressPidWindowLast = 0x5F26;
// Before series 4 the PID registers show the set chosen in 0x0035.
inline constexpr uint16_t kOldPidWindowFirst = 0x002D;
inline constexpr uint16_t kOldPidWindowLast = 0x0033;
inline constexpr int kPidSets = 5;

} // namespace getkelo::sim::reg
