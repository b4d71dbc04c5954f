#include "config/params/customer_params.h"

#include "base/number_format.h"
#include "comm/ttesra.h"
#include "config/params/production_params.h"
#include "config/params/series4_page_registers.h"
#include "console/device_list.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

namespace getkelo {

std::string padGas(const std::string& gas) {
    std::string g = gas.substr(0, 7);
    g.resize(7, ' ');
    return g;
}

namespace {

std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

void CustomerParams::kes_Show() {
    PageSession s(context_);
    if (!s) return;
    state_.longGasName = s.read(reg::kSlotGasName);
    state_.tagName = s.read(reg::kTagName);
    ProfibusState& p = state_.profibus;
    p.address = s.read(reg::kProfibusAdress);
    p.acyclicVisible = !(s.record().softwareVersion < "4.3.10");
    if (p.acyclicVisible) {
        using enum HexField;
        p.indexedAccess = s.readInteger(reg::kProfibusIndexed) == 1;
        splitSlotWord(s.read(reg::kProfibusAddressSlot), p.hex[int(AddressSlot)],
                      p.hex[int(AddressIndex)]);
        splitSlotWord(s.read(reg::kProfibusDataSlot), p.hex[int(DataSlot)], p.hex[int(DataIndex)]);
    }
    state_.powerUp = s.readInteger(reg::kPowerUpMode) != 0;
    state_.gas = trimmed(s.read(reg::kSlotGas));
    state_.dynamic = s.read(reg::kSlotDynamic);
}

bool CustomerParams::kes_HexFieldChange(HexField field, const std::string& text) {
    std::string& f = state_.profibus.hex[static_cast<int>(field)];
    const bool ok = checkHexField(field, text, context_.ui, context_.texts);
    f = ok ? text : "0";
    return ok;
}

void CustomerParams::kes_btnWriteClick() {
    long long dynamic = 0;
    if (!parseInteger(state_.dynamic, dynamic) || dynamic < 0 || dynamic > 0xFFFF) {
        context_.ui.messageBox(context_.texts.text("infoDynamicError") + "\n" + state_.dynamic,
                               "Get Kel-o", MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    PageSession s(context_);
    if (!s) return;
    s.write(reg::kSlotGasName, state_.longGasName.substr(0, 50), "GasName");
    s.write(reg::kTagName, state_.tagName.substr(0, 50), "TagName");
    const ProfibusState& p = state_.profibus;
    s.write(reg::kProfibusAdress, p.address, "ProfibusAdress");
    if (p.acyclicVisible) {
        using enum HexField;
        s.write(reg::kProfibusIndexed, p.indexedAccess ? "1" : "0");
        if (p.indexedAccess) {
            s.write(reg::kProfibusDataSlot,
                    std::to_string(hexFieldValue(p.hex[int(DataSlot)]) * 256 +
                                   hexFieldValue(p.hex[int(DataIndex)])));
            s.write(reg::kProfibusAddressSlot,
                    std::to_string(hexFieldValue(p.hex[int(AddressSlot)]) * 256 +
                                   hexFieldValue(p.hex[int(AddressIndex)])));
        }
    }
    const std::string powerUp = state_.powerUp ? "1" : "0";
    s.write(reg::kPowerUpMode, powerUp, "PowerUp");
    if (s.read(reg::kPowerUpMode) != powerUp)
        context_.ui.messageBox("Fehler, bitte wiederholen!", "Fehler", MsgIcon::Error,
                               MsgButtons::Ok);
    if (!state_.gas.empty()) s.write(reg::kSlotGas, padGas(state_.gas), "Gas");
    if (state_.allSlots) {
        for (int slot : usedSlots(s)) {
            s.write(reg::kSlotSelector, std::to_string(slot));
            s.write(reg::kSlotDynamic, std::to_string(dynamic), "Dynamic");
        }
    } else {
        s.write(reg::kSlotSelector, std::to_string(s.readInteger(reg::kLutSelect)));
        s.write(reg::kSlotDynamic, std::to_string(dynamic), "Dynamic");
    }
    s.write(reg::kSlotSelector, "0");
    s.reportRefused("Get Kel-o");
}

} // namespace getkelo
