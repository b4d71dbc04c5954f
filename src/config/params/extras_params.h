#pragma once
#include "config/params/page_session.h"

#include <array>
#include <string>

namespace getkelo {

// The six function boxes of "Geräte Funktionen", bit n of "FunctionsSelected" each.
inline constexpr int kFunctionBoxes = 6;
inline constexpr std::array<const char*, kFunctionBoxes> kFunctionBoxNames = {
    "chkFRegler", "chkFTot", "chkFNegDet", "chkFNegFlow", "chkFProfibus", "chkFPControl"};

struct ExtrasState {
    std::array<bool, kFunctionBoxes> functions{};
    bool profibusBoxVisible = true; // "Profibus" (software from "4.3.06")
    bool pressureBoxVisible = true; // "Druckregler" (software from "4.3.15")
    std::string longGasName;        // "Langer Gas Name": "GasName" of the active slot
    std::string tagName;            // "Messstellenbezeichnung"
    std::string secondTotalizer;    // "2. Totalisator": value and unit
};

// Page "Extras" of a series-4 device: device functions, long names, second totalizer.
class ExtrasParams {
  public:
    explicit ExtrasParams(PageContext context) : context_(std::move(context)) {}
    const ExtrasState& state() const { return state_; }

    void tbsTesra4Show();
    // "Übernehmen" of "Geräte Funktionen" with the boxes as the operator left them.
    void btnFSaveClick(const std::array<bool, kFunctionBoxes>& ticked);
    void btnSaveLongNamesClick(const std::string& longGasName, const std::string& tagName);

  private:
    PageContext context_;
    ExtrasState state_;
};

} // namespace getkelo
