#pragma once
#include "comm/register_descriptor.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace getkelo {

// Lookup-table slots of the devices before series 4: slot k occupies 0x12A registers from
// 0x0836 + k x 0x12A, first its 129 flow values (floats, two registers each), then the
// table's parameters.
inline constexpr int kLutValueCount = 129;
inline constexpr uint16_t kLutSlotBase = 0x0836;
inline constexpr uint16_t kLutSlotSize = 0x12A;
inline constexpr int kLutBlockValues = 3;                            // one transfer block
inline constexpr int kLutBlocks = kLutValueCount / kLutBlockValues;  // 43
inline constexpr int kLutMaxSlot = (0xFFFF - 0x095F) / kLutSlotSize; // last addressable slot

using LookupTable = std::array<float, kLutValueCount>;

// Slot -1 means slot 0 (callers pass the "no slot chosen" index); -2 for a slot whose
// registers would not fit the register space.
int lutEffectiveSlot(int slot);
// First register of a slot (slot >= 0).
uint16_t LutSlotBase(int slot);

// One parameter of a slot, named by its key in a LOOKUP section of a calibration data file.
struct LutParameter {
    const char* key;
    uint16_t slot0Register; // register in slot 0
    uint8_t count;
    uint8_t type;
    // The descriptor of this parameter in slot k.
    RegisterDescriptor inSlot(int slot) const;
};

// The parameters in the order they are read into a LOOKUP section and written back to a
// device: "Gas", "Range", "FlowUnit", "kn_sccm", "Temp_k0", "Temp_k1", "ThetaCalib",
// "Offset_k1", "Offset_k0", "kFFTT", "kFFT", "kFTT", "kFT", "LookupIdent", "LookupInfo",
// "CalibPressure".
const std::vector<LutParameter>& lutParameters();
// nullptr for a key that is not a slot parameter (case-insensitive).
const LutParameter* findLutParameter(const std::string& key);

// Registers of the table transfer.
inline constexpr RegisterDescriptor kEepromModeRegister = makeDescriptor(0x4050, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kStoreCommandRegister = makeDescriptor(0x0022, 1, kTypeUInt16);

} // namespace getkelo
