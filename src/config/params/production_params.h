#pragma once
#include "config/params/page_session.h"

#include <string>
#include <vector>

namespace getkelo {

// One analog direction of group "Analog".
struct AnalogSide {
    bool specific = false; // "Spezifischer Analog Eingang" / "... Ausgang"
    bool voltage = false;  // "Spannung" (else "Strom")
    std::string min, max;
};

struct ProductionState {
    std::vector<int> usedSlots;   // slot list of "Dynamik" and the controller targets
    std::string dynamic;          // "Dynamik" of the chosen slot
    bool dynamicWrong = false;    // the group's wrong-input label
    bool controllerWrong = false; // the label for a wrong controller
    bool analogWrong = false;     // "Bei den Eingaben wurde ein Fehler gemacht!"
};

// True when a user range is whole numbers inside 0..10 (voltage) or 0..20 (current), the
// minimum below the maximum.
bool analogRangeValid(const AnalogSide& side);

// Page "Produktion-I" (production mode): the slots' "Dynamic", copying the active slot's
// controller sets to other slots, and the analog user ranges.
class ProductionParams {
  public:
    explicit ProductionParams(PageContext context) : context_(std::move(context)) {}
    const ProductionState& state() const { return state_; }

    // Fills the slot list: slots 1.."LUT_Count" whose "LookupIdent" is not 0.
    void tbsProdShow();
    void cboLutChange(int slot);
    // Writes "Dynamic" of the slot: a whole number 0..65535, else the wrong-input label.
    void btnSaveDynClick(int slot, const std::string& text);
    // Copies PID sets 0..4 of the active slot into every target slot.
    void btnSaveControllerClick(const std::vector<int>& targets);
    void btnSaveAnalogClick(const AnalogSide& in, const AnalogSide& out);

  private:
    PageContext context_;
    ProductionState state_;
};

// Slots 1.."LUT_Count" that hold a calibration ("LookupIdent" not 0 and readable); leaves the
// slot selector at 0.
std::vector<int> usedSlots(PageSession& s);

} // namespace getkelo
