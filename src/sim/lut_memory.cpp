// Lookup-table slots of the generations before series 4 are kept in working memory and in
// the EEPROM. A device with "EepromMode" 0 writes a table into its EEPROM only when the
// command register receives 0; other devices store every write at once. A restart brings
// back what the EEPROM holds.
#include "sim/sim_device.h"
#include "sim/sim_registers.h"

namespace getkelo::sim {
namespace {

bool hasOldSlots(const DeviceConfig& c) {
    return c.generation == Generation::Second || c.generation == Generation::Third;
}

bool inSlots(const DeviceConfig& c, uint16_t r) {
    return r >= reg::kLutSlotBase && r < reg::kLutSlotBase + c.slotCount * reg::kLutSlotSize;
}

} // namespace

void SimDevice::storeLookupTables() {
    storedLut_.clear();
    unstoredLutWrites_ = 0;
    if (!hasOldSlots(config_)) return;
    for (const auto& [k, c] : cells_)
        if ((k >> 16) == kBankNone && inSlots(config_, static_cast<uint16_t>(k)))
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
        if (!inSlots(config_, r)) continue;
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
