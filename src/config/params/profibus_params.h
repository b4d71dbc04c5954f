#pragma once
#include "config/params/page_session.h"

#include <array>
#include <string>

namespace getkelo {

// The four hexadecimal fields of acyclic access: slot and index of the address and of the
// data, each one byte of 0x5941 (address) or 0x5942 (data).
enum class HexField { AddressSlot, AddressIndex, DataSlot, DataIndex };
inline constexpr int kHexFields = 4;

struct ProfibusState {
    bool notActiveLabel = false; // "Profibus nicht aktiv!"
    std::string address;         // "Adresse"
    bool addressLocked = false;  // "Adressänderung sperren"
    bool acyclicVisible = false; // group "Azyklische Kommunikation" (software from "4.3.10")
    bool indexedAccess = false;  // "Indizierter Zugriff"
    std::array<std::string, kHexFields> hex; // by HexField
};

// Checks a slot or index field as typed: hexadecimal 0..FF. A wrong value tells the operator
// (caption "Get Kel-o", the field's message) and returns false; the field is then "0". An
// empty field is still being typed and passes.
bool checkHexField(HexField field, const std::string& text, UiAdapter& ui, const TextSource& texts);
// The field's value (0 when empty or wrong).
int hexFieldValue(const std::string& text);
// Slot and index texts of a 0x5941/0x5942 word ("Fehler" stays in both).
void splitSlotWord(const std::string& word, std::string& slot, std::string& index);

// Page "Profibus".
class ProfibusParams {
  public:
    explicit ProfibusParams(PageContext context) : context_(std::move(context)) {}
    ProfibusState& state() { return state_; }

    void tbsProfibusShow();
    // The field changed: false when it was refused (the state holds "0" for it).
    bool hexFieldChange(HexField field, const std::string& text);
    void chkIndexedAccessClick(bool ticked);
    // Writes the fields of state() (the form puts the operator's entries there first).
    void btnProfibusSaveClick();

  private:
    void readSlots(PageSession& s);

    PageContext context_;
    ProfibusState state_;
};

} // namespace getkelo
