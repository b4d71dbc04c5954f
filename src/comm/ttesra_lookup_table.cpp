// Lookup-table transfer of TTesra: the 129 values of a slot in 43 blocks of three floats.
#include "base/clock.h"
#include "base/number_format.h"
#include "comm/ttesra.h"
#include "comm/value_codec.h"
#include "ui/ui_adapter.h"

namespace getkelo {
namespace {

constexpr const char* kCaption = "EEPROM";
constexpr const char* kReadFailed = "Fehler beim EEPROM lesen!";
constexpr const char* kReadDone = "EEPROM lesen erfolgreich!";
constexpr const char* kWriteFailed = "Fehler beim EEPROM schreiben!";
constexpr const char* kWriteDone = "EEPROM schreiben erfolgreich!";
constexpr int kBlockRegisters = 2 * kLutBlockValues;
constexpr int kRepeatBudget = 9;    // failed blocks repeated per table; the tenth ends it
constexpr int kBlockPauseMs = 100;  // before every block request
constexpr int kSettleMs = 200;      // before asking whether the table must be stored
constexpr int kStorePauseMs = 1000; // the device writes its EEPROM

} // namespace

int TTesra::ReadLookupTable(int slot, LookupTable& values, UiAdapter& ui) {
    const int s = lutEffectiveSlot(slot);
    ui.progressStart(kCaption, "Lese EEPROM " + std::to_string(s < 0 ? slot : s) + "...",
                     kLutBlocks);
    if (s < 0) {
        ui.progressLabel(kReadFailed);
        return 1;
    }
    const uint16_t base = LutSlotBase(s);
    for (int block = 0; block < kLutBlocks; ++block) {
        uint8_t frame[kFrameBufferSize] = {};
        const auto r = static_cast<uint16_t>(base + block * kBlockRegisters);
        if (ReadRegisters(frame, r, kBlockRegisters) != kResultOk) {
            ui.progressLabel(kReadFailed);
            return 1;
        }
        ui.progressPosition(block + 1);
        // Through the value's text, as every other value read: 7 significant digits.
        for (int k = 0; k < kLutBlockValues; ++k)
            values[block * kLutBlockValues + k] =
                TextToFloat(ValueToText(frame + 3 + 4 * k, kTypeFloat));
    }
    ui.progressFinish(kReadDone);
    return 0;
}

int TTesra::WriteLookupTable(int slot, const LookupTable& values, UiAdapter& ui) {
    const int s = lutEffectiveSlot(slot);
    ui.progressStart(kCaption, "Schreibe EEPROM " + std::to_string(s < 0 ? slot : s) + "...",
                     kLutBlocks);
    if (s < 0) {
        ui.progressLabel(kWriteFailed);
        return 1;
    }
    Clock& clock = comm_.clock();
    const uint16_t base = LutSlotBase(s);
    int failures = 0; // one budget for the whole table
    for (int block = 0; block < kLutBlocks; ++block) {
        ui.progressPosition(block + 1);
        const auto r = static_cast<uint16_t>(base + block * kBlockRegisters);
        for (;;) {
            uint8_t frame[kFrameBufferSize] = {Address,
                                               0x10,
                                               static_cast<uint8_t>(r >> 8),
                                               static_cast<uint8_t>(r),
                                               0x00,
                                               kBlockRegisters,
                                               2 * kBlockRegisters};
            for (int k = 0; k < kLutBlockValues; ++k)
                TextToValue(frame + 7 + 4 * k, kTypeFloat,
                            formatGeneral(values[block * kLutBlockValues + k], 7));
            clock.sleepMs(kBlockPauseMs);
            if (Transact(frame, 7 + 2 * kBlockRegisters, 8) == kResultOk) break;
            if (++failures > kRepeatBudget) {
                ui.progressLabel(kWriteFailed);
                return 1;
            }
        }
    }
    clock.sleepMs(kSettleMs);
    // "EepromMode" 0 (or unreadable): the table is only in the device's working memory
    // until the store command copies it into the EEPROM.
    long long mode = 0;
    if (!parseInteger(ReadValue(kEepromModeRegister), mode)) mode = 0;
    if (mode == 0) {
        const int stored = WriteValue(kStoreCommandRegister, "0", kWriteAddressed);
        clock.sleepMs(kStorePauseMs);
        if (stored != 0) {
            // Written but not stored: the table would be gone at the next power-up.
            ui.progressLabel(kWriteFailed);
            return 1;
        }
    }
    ui.progressFinish(kWriteDone);
    return 0;
}

} // namespace getkelo
