#include "comm/lookup_table_slot.h"

#include <strings.h>

namespace getkelo {

int lutEffectiveSlot(int slot) {
    if (slot == -1) return 0;
    if (slot < 0 || slot > kLutMaxSlot) return -2;
    return slot;
}

uint16_t LutSlotBase(int slot) {
    return static_cast<uint16_t>(kLutSlotBase + slot * kLutSlotSize);
}

RegisterDescriptor LutParameter::inSlot(int slot) const {
    return makeDescriptor(static_cast<uint16_t>(slot0Register + slot * kLutSlotSize), count, type);
}

const std::vector<LutParameter>& lutParameters() {
    static const std::vector<LutParameter> params = {
        {"Gas", 0x0951, 4, kTypeText8},         {"Range", 0x094F, 2, kTypeFloat},
        {"FlowUnit", 0x094B, 4, kTypeText8},    {"kn_sccm", 0x0949, 2, kTypeFloat},
        {"Temp_k0", 0x0943, 2, kTypeFloat},     {"Temp_k1", 0x0945, 2, kTypeFloat},
        {"ThetaCalib", 0x0947, 2, kTypeFloat},  {"Offset_k1", 0x0941, 2, kTypeFloat},
        {"Offset_k0", 0x0940, 1, kTypeInt16},   {"kFFTT", 0x0938, 2, kTypeFloat},
        {"kFFT", 0x093A, 2, kTypeFloat},        {"kFTT", 0x093C, 2, kTypeFloat},
        {"kFT", 0x093E, 2, kTypeFloat},         {"LookupIdent", 0x0955, 2, kTypeUInt32},
        {"LookupInfo", 0x0957, 1, kTypeUInt16}, {"CalibPressure", 0x0958, 2, kTypeFloat},
    };
    return params;
}

const LutParameter* findLutParameter(const std::string& key) {
    for (const LutParameter& p : lutParameters())
        if (strcasecmp(p.key, key.c_str()) == 0) return &p;
    return nullptr;
}

} // namespace getkelo
