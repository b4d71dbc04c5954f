#pragma once
#include <string>
#include <vector>

namespace getkelo {

class CalibDataFiles;
class TTesra;
class TextSource;
class UiAdapter;

inline constexpr int kLutSlotCount = 5;

// The lookup-table slots of the selected device as TMultiLookup manages them: the slot list,
// activating and deleting a slot, storing a slot into the calibration data file as a LOOKUP
// section and loading one back into a slot. Slot numbers are 0..4; -1 is "none selected".
class LutSlotManager {
  public:
    LutSlotManager(TTesra& tesra, UiAdapter& ui, const TextSource& texts, CalibDataFiles& files);

    void setDataFile(const std::string& path) { dataFile_ = path; }
    const std::string& dataFile() const { return dataFile_; }
    // BitBtn1Click after the directory dialog: the chosen folder, the device's file in it.
    void chooseFolder(const std::string& folder, const std::string& serial);

    // FillSlotList: one item per slot ("Nr.k: <leer>" for an empty one); activeSlot() is the
    // slot "LutSelect" names (-1 when it cannot be read).
    const std::vector<std::string>& FillSlotList();
    const std::vector<std::string>& items() const { return items_; }
    int activeSlot() const { return active_; }
    // LuTBoxClick: activate and delete only for a slot that holds a table.
    bool slotUsable(int slot) const;

    // The LOOKUP sections of the data file (Datei3: section, gas, range, unit).
    std::vector<std::string> sections() const;

    // LuTBtnClick: the slot becomes the active one; false when the device refused.
    bool LuTBtnClick(int slot);
    // LuTDeleteBtnClick: after the operator agrees, the slot is marked empty ("NaN" range).
    // "LutSelect" is left alone, also when the active slot is deleted.
    bool LuTDeleteBtnClick(int slot);
    // BitBtn4Click: the slot into a new LOOKUP section; the section, or "".
    std::string BitBtn4Click(int slot);
    // BitBtn2Click: the section of a Datei3 entry into the slot.
    bool BitBtn2Click(int slot, const std::string& entry);

  private:
    bool needSlot(int slot, bool stopIcon);

    TTesra& tesra_;
    UiAdapter& ui_;
    const TextSource& texts_;
    CalibDataFiles& files_;
    std::string dataFile_;
    std::vector<std::string> items_;
    int active_ = -1;
};

} // namespace getkelo
