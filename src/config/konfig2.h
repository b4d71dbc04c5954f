#pragma once
#include "comm/lookup_table_slot.h"
#include "config/konfig2_fields.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace getkelo {

class TTesra;
class TextSource;
class UiAdapter;

// The logic of the factory configuration dialog TKonfig2 for devices after the first
// generation: the device's configuration fields, one lookup-table slot (its parameters and
// 129 values) and the editing rules. The data sets (data_sets.h) and the setup export and
// import (device_setup.h) use it as their form of a configuration in memory.
//
// Every value is kept as text. A text the operator types that does not fit its field stays
// as typed but is marked invalid, and nothing is written while any field is invalid. A field
// whose read failed holds "Fehler" and is never written, so a failed read cannot reach the
// device as 0. Writing goes in the dialog's fixed order and takes only the fields that differ
// from what the device was last read to hold.
class Konfig2 {
  public:
    Konfig2(UiAdapter& ui, const TextSource& texts);

    void setConnection(TTesra* tesra) { tesra_ = tesra; }
    TTesra* connection() const { return tesra_; }

    // ---- configuration fields (konfig2_fields.h)
    // "" before the first read.
    std::string value(const std::string& name) const;
    // The operator's text (ZahlExit, TextExit, TypeCodeExit, RangeExit, kn_sccmExit): kept as
    // typed, marked invalid when it does not fit. True when it fits.
    bool setValue(const std::string& name, const std::string& text);
    bool invalid(const std::string& name) const { return invalid_.count(name) > 0; }
    // Differs from what the device was last read to hold (or was written).
    bool changed(const std::string& name) const;
    bool hasValues() const { return !values_.empty(); }

    // The switches of the function word (ControllBoxClick, TotalizeBox, ReverseFlowBox);
    // the word's other bits stay as the device had them.
    bool functionBit(uint32_t bit) const;
    void setFunctionBit(uint32_t bit, bool on);
    // A new flow unit: the range is converted into it (shared unit factor).
    void RUnitChange(const std::string& unit);
    // A new totalizer unit: the totalizer factor is converted with it.
    void TUnitChange(const std::string& unit);
    // "Justieren": the totalizer counted `measured` where `reference` was right; the factor
    // becomes factor x reference / measured. False (with a message) for texts that are no
    // numbers, a measured 0 or a factor that is not a number.
    bool TotJustBtnNewClick(const std::string& reference, const std::string& measured);
    // "Löschen": resets the device's totalizer (writes 0 to 0x0004).
    bool BitBtn2Click();
    // The device's totalizer now ("Fehler" when it does not answer).
    std::string readTotalizer();

    // ---- lookup-table slot
    // -1: no slot chosen; 0..4 "LuT 0" .. "LuT 4".
    int lutChoice() const { return lutChoice_; }
    // Chooses a slot without reading it: its fields and table are empty (nothing to write).
    void setLutChoice(int slot);
    // Chooses a slot and reads its parameters (one request for the parameter block at the
    // slot's registers); the table is empty until read ("Lesen") or loaded. An empty slot shows
    // "NaN" as range. False when the read failed (the fields hold "Fehler").
    bool LuTBoxSelect(int slot);
    // "" for a key not known for this slot (not read, not loaded).
    std::string slotValue(const std::string& key) const;
    bool hasSlotValue(const std::string& key) const { return slot_.count(key) > 0; }
    bool setSlotValue(const std::string& key, const std::string& text);
    bool slotInvalid(const std::string& key) const { return slotInvalid_.count(key) > 0; }
    bool slotChanged(const std::string& key) const;
    // The range of the chosen slot (the export and import look for "NaN" in it).
    std::string rangeText() const { return slotValue("Range"); }
    // "Satz löschen": after the operator confirms, the chosen slot's fields and table become
    // those of an empty slot (range "NaN", values 0); "OK" then writes them.
    bool LuTDeleteBtnClick();

    // The 129 values of the table as texts; empty when not read or loaded.
    const std::vector<std::string>& table() const { return table_; }
    bool tableLoaded() const { return !table_.empty(); }
    // The table the device holds (after "Lesen"): "0.######" texts, not to be written again.
    void setTableFromDevice(const LookupTable& values);
    // A loaded or edited table, written by the next "OK".
    void setTableTexts(const std::vector<std::string>& texts);
    // One cell edited (LutTblExit); marked invalid when it is no finite number.
    bool setTableText(int index, const std::string& text);
    bool tableInvalid(int index) const { return tableInvalid_.count(index) > 0; }
    bool tableChanged() const { return tableDirty_; }
    // The table as numbers; false (and the first bad cell) when a cell is not a number.
    bool tableValues(LookupTable& out, int* badIndex = nullptr) const;
    void markTableStored() { tableDirty_ = false; }

    // ---- device
    // Unlocks the device (access code) and reads every configuration field. The slot's
    // fields stay as they are. False when a read failed (those fields show "Fehler").
    bool FormActivate();
    // Writes the changed fields in the dialog's order, then the chosen slot's changed
    // parameters and, when loaded or edited, its table; then reads the fields again. Nothing
    // is written while a field is invalid (the operator is told which). Stops at the first
    // write the device refuses and says which field it was. True when all was written.
    bool OKBtnClick();
    // Names of the invalid fields, slot keys and table cells ("Range", "LuT:Gas", "LuT[5]").
    std::vector<std::string> invalidNames() const;

  private:
    std::string text(const char* key, const char* fallback,
                     const std::vector<std::string>& args = {}) const;
    void readConfiguration();
    bool writeValue(RegisterDescriptor d, const std::string& deviceText, const std::string& name);

    UiAdapter& ui_;
    const TextSource& texts_;
    TTesra* tesra_ = nullptr;
    std::map<std::string, std::string> values_, stored_;
    std::set<std::string> invalid_;
    int lutChoice_ = -1;
    std::map<std::string, std::string> slot_, slotStored_;
    std::set<std::string> slotInvalid_;
    std::vector<std::string> table_;
    std::set<int> tableInvalid_;
    bool tableDirty_ = false;
};

} // namespace getkelo
