#include "calib/lut_slot_manager.h"

#include "base/clock.h"
#include "base/number_format.h"
#include "calib/calib_data_files.h"
#include "calib/data_set_chooser.h"
#include "comm/lookup_table_slot.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "ui/ui_adapter.h"

namespace getkelo {
namespace {

constexpr const char* kSetsCaption = "Datensätze";
constexpr int kActivatePauseMs = 250;

RegisterDescriptor slotRegister(const char* key, int slot) {
    return findLutParameter(key)->inSlot(slot);
}

} // namespace

LutSlotManager::LutSlotManager(TTesra& tesra, UiAdapter& ui, const TextSource& texts,
                               CalibDataFiles& files)
    : tesra_(tesra), ui_(ui), texts_(texts), files_(files) {}

void LutSlotManager::chooseFolder(const std::string& folder, const std::string& serial) {
    std::string f = folder;
    if (!f.empty() && f.back() != '/') f += '/';
    dataFile_ = f + serial + "t03.dat";
}

const std::vector<std::string>& LutSlotManager::FillSlotList() {
    items_.clear();
    long long active = -1;
    if (!parseInteger(tesra_.ReadValue(reg::kLutSelect), active)) active = -1;
    active_ = static_cast<int>(active);
    for (int k = 0; k < kLutSlotCount; ++k) {
        const std::string head = "Nr." + std::to_string(k) + ": ";
        const std::string range = tesra_.ReadValue(slotRegister("Range", k));
        if (range.find("NaN") != std::string::npos) {
            items_.push_back(head + "<leer>");
            continue;
        }
        items_.push_back(head + tesra_.ReadValue(slotRegister("Gas", k)) + " " + range + " " +
                         tesra_.ReadValue(slotRegister("FlowUnit", k)) + "      " +
                         tesra_.ReadValue(slotRegister("CalibPressure", k)) + " bar a      ");
    }
    return items_;
}

bool LutSlotManager::slotUsable(int slot) const {
    return slot >= 0 && slot < static_cast<int>(items_.size()) && items_[slot].size() > 6 &&
           items_[slot][6] != '<';
}

std::vector<std::string> LutSlotManager::sections() const {
    return dataSetEntries(
        DataSetQuery::fromList({dataFile_, "LOOKUP", "NOP", "NOP", "Gas", "Range", "FlowUnit"}));
}

bool LutSlotManager::needSlot(int slot, bool stopIcon) {
    if (slot >= 0 && slot < kLutSlotCount) return true;
    ui_.messageBox("Zuerst Datensatz wählen!", kSetsCaption,
                   stopIcon ? MsgIcon::Error : MsgIcon::Information, MsgButtons::Ok);
    return false;
}

bool LutSlotManager::LuTBtnClick(int slot) {
    if (!slotUsable(slot)) return false;
    tesra_.WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
    const bool selected =
        tesra_.WriteValue(reg::kLutSelect, std::to_string(slot), kWriteAddressed) == 0;
    ui_.beep();
    if (selected) {
        // The device takes the new table's settings with a write of its configuration word.
        tesra_.comm().clock().sleepMs(kActivatePauseMs);
        const std::string keep = tesra_.ReadValue(reg::kConfigKeep);
        if (keep != "Fehler") tesra_.WriteValue(reg::kConfigKeep, keep, kWriteAddressed);
    }
    FillSlotList();
    return selected;
}

bool LutSlotManager::LuTDeleteBtnClick(int slot) {
    if (!slotUsable(slot)) return false;
    if (ui_.messageBox("Die markierte LuT wird definitiv gelöscht!\r\nSoll der Vorgang "
                       "fortgesetzt werden?",
                       "LuT löschen", MsgIcon::Warning, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    tesra_.WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
    const bool done = tesra_.WriteValue(slotRegister("Range", slot), "NaN", kWriteAddressed) == 0;
    FillSlotList();
    return done;
}

std::string LutSlotManager::BitBtn4Click(int slot) {
    if (!needSlot(slot, false)) return "";
    return files_.ReadLutToSection(dataFile_, slot, 0);
}

bool LutSlotManager::BitBtn2Click(int slot, const std::string& entry) {
    if (!needSlot(entry.empty() ? -1 : slot, true)) return false;
    const std::string section = entrySectionName(entry);
    tesra_.WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
    const bool written = files_.WriteSectionToDevice(dataFile_, section, slot, tesra_.Address) ==
                         CalibDataFiles::SectionWrite::Written;
    FillSlotList();
    return written;
}

} // namespace getkelo
