#include "config/params/extras_params.h"

#include "base/number_format.h"
#include "comm/ttesra.h"
#include "config/params/series4_page_registers.h"
#include "console/console_view.h"
#include "console/device_list.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

namespace getkelo {

namespace {

// Long names hold at most 50 characters on the device.
std::string cut50(const std::string& s) {
    return s.size() > 50 ? s.substr(0, 50) : s;
}

} // namespace

void ExtrasParams::tbsTesra4Show() {
    PageSession s(context_);
    if (!s) return;
    s.write(reg::kSlotSelector, std::to_string(s.readInteger(reg::kLutSelect)));
    const auto fn = static_cast<uint32_t>(s.readInteger(reg::kFunctionsSelected));
    for (int b = 0; b < kFunctionBoxes; ++b)
        state_.functions[b] = (fn >> b) & 1u;

    // Versions compare as texts.
    const std::string& version = s.record().softwareVersion;
    state_.profibusBoxVisible = !(version < "4.3.06");
    context_.view.setPageVisible(ConsolePage::Profibus,
                                 state_.profibusBoxVisible && (fn & reg::kFnProfibus));
    state_.pressureBoxVisible = !(version < "4.3.15");
    context_.view.setPageVisible(ConsolePage::PressureControl,
                                 state_.pressureBoxVisible && (fn & reg::kFnPressure));

    const int modes = state_.functions[5] ? 10 : 8;
    std::vector<std::string> items;
    for (int i = 0; i < modes; ++i)
        items.push_back(context_.texts.text("ModusBox" + std::to_string(i)));
    context_.view.setControlModeItems(items);

    state_.longGasName = cut50(s.read(reg::kSlotGasName));
    state_.tagName = cut50(s.read(reg::kTagName));
    s.write(reg::kSlotSelector, "0");
    state_.secondTotalizer = s.read(reg::kSlotTotalizerN) + " " + s.read(reg::kSlotTotalizerUnit);
}

void ExtrasParams::btnFSaveClick(const std::array<bool, kFunctionBoxes>& ticked) {
    {
        PageSession s(context_);
        if (!s) return;
        const std::string old = s.read(reg::kFunctionsSelected);
        long long value = 0;
        // Without the device's word the other bits are unknown: nothing is written.
        if (!parseInteger(old, value)) {
            context_.ui.messageBox(context_.texts.text("infoParamsNotRead"), "GetKelo",
                                   MsgIcon::Warning, MsgButtons::Ok);
            return;
        }
        auto word = static_cast<uint32_t>(value);
        for (int b = 0; b < kFunctionBoxes; ++b)
            word = withBits(word, 1u << b, ticked[b]);
        s.write(reg::kFunctionsSelected, std::to_string(word), "FunctionsSelected");
        s.reportRefused("GetKelo");
    }
    tbsTesra4Show();
}

void ExtrasParams::btnSaveLongNamesClick(const std::string& longGasName,
                                         const std::string& tagName) {
    PageSession s(context_);
    if (!s) return;
    s.write(reg::kSlotGasName, cut50(longGasName), "GasName");
    s.write(reg::kTagName, cut50(tagName), "TagName");
    state_.longGasName = cut50(s.read(reg::kSlotGasName));
    state_.tagName = cut50(s.read(reg::kTagName));
    s.reportRefused("GetKelo");
}

} // namespace getkelo
