#pragma once
#include "comm/register_descriptor.h"

#include <array>
#include <cstdint>
#include <string>

namespace getkelo::reg {

// Registers that several parts of the program read or write, named once.
inline constexpr RegisterDescriptor kFlow = makeDescriptor(0x0000, 2, kTypeFloat);
inline constexpr RegisterDescriptor kFlowRaw = makeDescriptor(0x0000, 2, kTypeUInt32);
inline constexpr RegisterDescriptor kTemperature = makeDescriptor(0x0002, 2, kTypeFloat);
inline constexpr RegisterDescriptor kTotalizer = makeDescriptor(0x0004, 2, kTypeFloat);
inline constexpr RegisterDescriptor kSetpoint = makeDescriptor(0x0006, 2, kTypeFloat);
inline constexpr RegisterDescriptor kValve = makeDescriptor(0x000A, 2, kTypeFloat);
inline constexpr RegisterDescriptor kReverseFlowWord = makeDescriptor(0x000C, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kAlarmWord = makeDescriptor(0x000D, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kControlMode = makeDescriptor(0x000E, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kModbusAddress = makeDescriptor(0x0013, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kRange = makeDescriptor(0x0014, 2, kTypeFloat);
inline constexpr RegisterDescriptor kFlowUnitText = makeDescriptor(0x0016, 4, kTypeText8);
inline constexpr RegisterDescriptor kGasText = makeDescriptor(0x001A, 4, kTypeText8);
inline constexpr RegisterDescriptor kSerialNumber = makeDescriptor(0x001E, 2, kTypeUInt32);
inline constexpr RegisterDescriptor kHardwareVersion = makeDescriptor(0x0020, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kSoftwareVersion = makeDescriptor(0x0021, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kCommand = makeDescriptor(0x0022, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kTypeCode1 = makeDescriptor(0x0023, 4, kTypeText8);
inline constexpr RegisterDescriptor kSelectSccmTicks = makeDescriptor(0x0027, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kAccessCode = makeDescriptor(0x002B, 2, kTypeUInt32);
inline constexpr RegisterDescriptor kSoftReset = makeDescriptor(0x0034, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPidSetOld = makeDescriptor(0x0035, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kTypeCode2 = makeDescriptor(0x1004, 4, kTypeText8);
inline constexpr RegisterDescriptor kTempUnit = makeDescriptor(0x100A, 4, kTypeText8);
inline constexpr RegisterDescriptor kPressUnit = makeDescriptor(0x100E, 4, kTypeText8);
inline constexpr RegisterDescriptor kPowerUp = makeDescriptor(0x4040, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPowerUpSetpoint = makeDescriptor(0x4041, 2, kTypeFloat);
inline constexpr RegisterDescriptor kTotalizerUnitText = makeDescriptor(0x4048, 4, kTypeText8);
inline constexpr RegisterDescriptor kCutOff = makeDescriptor(0x404C, 2, kTypeFloat);
inline constexpr RegisterDescriptor kDetectorMode = makeDescriptor(0x404E, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kAlarmReset = makeDescriptor(0x404F, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kReverseFlowLimit = makeDescriptor(0x4052, 2, kTypeFloat);
inline constexpr RegisterDescriptor kFunctionsSelected = makeDescriptor(0x4082, 2, kTypeUInt32);
inline constexpr RegisterDescriptor kAnalogSignalOut = makeDescriptor(0x4084, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kAnalogSignalIn = makeDescriptor(0x4085, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kAlarmDelay = makeDescriptor(0x4087, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kConfigKeep = makeDescriptor(0x4100, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kLutSelect = makeDescriptor(0x4139, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kTagName = makeDescriptor(0x5000, 25, kTypeText50);
inline constexpr RegisterDescriptor kOutputScaleS4 = makeDescriptor(0x5500, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kInputScaleS4 = makeDescriptor(0x5504, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPressure = makeDescriptor(0x5F00, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPressureUnitText = makeDescriptor(0x5F08, 4, kTypeText8);
inline constexpr RegisterDescriptor kPidSetSelector = makeDescriptor(0x5FF7, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kSlotSelector = makeDescriptor(0x5FFF, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kLookupIdent = makeDescriptor(0x6000, 2, kTypeUInt32);
inline constexpr RegisterDescriptor kSlotGasName = makeDescriptor(0x6022, 25, kTypeText50);
inline constexpr RegisterDescriptor kSlotGas = makeDescriptor(0x6042, 4, kTypeText8);
inline constexpr RegisterDescriptor kSlotFlowUnit = makeDescriptor(0x6046, 4, kTypeText8);
inline constexpr RegisterDescriptor kSlotDynamic = makeDescriptor(0x6122, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kSlotPidSelect = makeDescriptor(0x6200, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kPidTv = makeDescriptor(0x6202, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPidKp = makeDescriptor(0x6204, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPidTn = makeDescriptor(0x6206, 2, kTypeFloat);
inline constexpr RegisterDescriptor kPidN = makeDescriptor(0x6208, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kSlotTotalizerUnit = makeDescriptor(0x6386, 4, kTypeText8);

// The code that unlocks protected registers when written to kAccessCode; "0" locks them.
inline constexpr const char* kAccessCodeText = "274810365";

// Function flags of kFunctionsSelected.
inline constexpr uint32_t kFnController = 1u << 0;
inline constexpr uint32_t kFnTotalizer = 1u << 1;
inline constexpr uint32_t kFnReverseFlow = 1u << 2;
inline constexpr uint32_t kFnProfibus = 1u << 4;
inline constexpr uint32_t kFnPressure = 1u << 5;

// One record of the compiled-in text-variable table (40 bytes, little-endian fields).
struct CatalogueRecord {
    uint8_t type;
    uint8_t registers;
    uint16_t address;
    char name[25];
    char addressText[7];
    uint32_t byteCount;

    RegisterDescriptor descriptor() const { return makeDescriptor(address, registers, type); }
};
static_assert(sizeof(CatalogueRecord) == 40, "catalogue records are 40 bytes");

inline constexpr int kCatalogueSize = 9;
// The nine text variables shown by the customer-specific page, in table order.
const std::array<CatalogueRecord, kCatalogueSize>& textCatalogue();

} // namespace getkelo::reg
