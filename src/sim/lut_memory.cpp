// The lookup tables of the generations before series 4 (the 129 values of each slot) are
// kept in working memory and in the EEPROM. A device with "EepromMode" 0 writes its tables
// into the EEPROM only when the command register receives 0; other devices store every
// write at once, as all devices do with the slots' parameters. A restart brings back the
// tables the EEPROM holds.
#include "sim/sim_device.h"
#include "sim/sim_registers.h"

namespace getkelo::sim {
namespace {

bool hasOldSlots(const DeviceConfig& c) {
    return c.generation == Generation::Second || c.generation == Generation::Third;
}

bool inTable(const DeviceConfig& c, uint16_t r) {
    if (r < reg::kLutSlotBase || r >= reg::kLutSlotBase + c.slotCount * reg::kLutSlotSize)
        return false;
    return (r - reg::kLutSlotBase) % reg::kLutSlotSize < 2 * reg::kLutValues;
}

} // namespace

void SimDevice::storeLookupTables() {
    storedLut_.clear();
    unstoredLutWrites_ = 0;
    if (!hasOldSlots(config_)) return;
    for (const auto& [k, c] : cells_)
        if ((k >> 16) == kBankNone && inTable(config_, static_cast<uint16_t>(k)))
            storedLut_[k] = c.value;
}

void SimDevice::lutWritten(uint16_t start, int count) {
    if (!hasOldSlots(config_)) return;
    if (start <= descRegister(reg::kCommand) && start + count > descRegister(reg::kCommand) &&
        word(descRegister(reg::kCommand)) == 0) {
        storeLookupTables();
        return;
    }
    const bool storesItself = word(descRegister(reg::kEepromMode)) != 0;
    for (int i = 0; i < count; ++i) {
        const auto r = static_cast<uint16_t>(start + i);
        if (!inTable(config_, r)) continue;
        if (storesItself)
            storedLut_[key(kBankNone, r)] = word(r);
        else
            ++unstoredLutWrites_;
    }
}

void SimDevice::restoreLookupTables() {
    for (const auto& [k, v] : storedLut_)
        if (auto it = cells_.find(k); it != cells_.end()) it->second.value = v;
    unstoredLutWrites_ = 0;
}

} // namespace getkelo::sim
