#pragma once
#include "config/params/profibus_params.h"

#include <string>

namespace getkelo {

// The gases the customer page offers for the active slot; each is written padded to seven
// characters ("Air    ").
inline constexpr std::array<const char*, 3> kCustomerGases = {"Air", "CO2", "LUFT"};

struct CustomerState {
    std::string longGasName, tagName; // as on "Extras"
    ProfibusState profibus;           // address and acyclic access, as on "Profibus"
    bool powerUp = false;             // "PowerUp" (0x4040) not 0
    std::string gas;                  // "Gas" of the active slot, blanks trimmed
    std::string dynamic;              // "Dynamic" of the active slot
    bool allSlots = false;            // option "all": "Dynamic" to every used slot
};

// The customer page "Kestrom Spezial" (service mode): one customer's settings from the other
// pages, written in one run.
class CustomerParams {
  public:
    explicit CustomerParams(PageContext context) : context_(std::move(context)) {}
    CustomerState& state() { return state_; }

    void kes_Show();
    bool kes_HexFieldChange(HexField field, const std::string& text);
    // Writes everything in state(); "Dynamic" must be a whole number 0..65535 (message and
    // nothing written otherwise).
    void kes_btnWriteClick();

  private:
    PageContext context_;
    CustomerState state_;
};

// "Air" as "Air    ": texts the device compares in full.
std::string padGas(const std::string& gas);

} // namespace getkelo
