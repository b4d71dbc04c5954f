#include "config/params/pressure_control_params.h"

#include "base/number_format.h"
#include "comm/ttesra.h"
#include "config/params/series4_page_registers.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

namespace getkelo {

void PressureControlParams::tbsPControlShow() {
    PageSession s(context_);
    if (!s) return;
    state_.setpoint = s.read(reg::kPressSetpointS4);
    state_.unit = s.read(reg::kPressureUnitText);
    state_.tagName = s.read(reg::kPressTagNameS4);
    state_.flowLimit = s.readInteger(reg::kPressSwitchWord) & reg::kPressFlowLimitBit;
    if (state_.flowLimit) {
        state_.flowLimitValue = s.read(reg::kPressFlowLimitS4);
        state_.flowUnit = s.read(reg::kSlotFlowUnit);
    }
}

void PressureControlParams::btnPControlSSetpointClick(const std::string& entered) {
    PageSession s(context_);
    if (!s) return;
    double value = 0, limit = 0;
    const std::string limitText = s.read(reg::kPressScaleFullS4);
    if (!parseNumber(entered, value) || !parseNumber(limitText, limit)) {
        context_.ui.messageBox(context_.texts.text("infoPressSetpointError") + "\n" + entered,
                               "GetKelo", MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    // Compared as numbers: 10.5 is above a limit of 10 although both start with 10.
    s.write(reg::kPressSetpointS4, value > limit ? limitText : formatGeneral(value), "Sollwert");
    s.sleepMs(50);
    s.write(reg::kCommand, "1");
    s.sleepMs(100);
    state_.setpoint = s.read(reg::kPressSetpointS4);
    s.reportRefused("GetKelo");
}

void PressureControlParams::chkPControlFLimitClick(bool ticked) {
    state_.flowLimit = ticked;
    if (!ticked) return;
    PageSession s(context_);
    if (!s) return;
    state_.flowLimitValue = s.read(reg::kPressFlowLimitS4);
    state_.flowUnit = s.read(reg::kSlotFlowUnit);
}

void PressureControlParams::btnSavePressClick() {
    PageSession s(context_);
    if (!s) return;
    s.write(reg::kPressTagNameS4, state_.tagName, "Druckmessstellenbezeichnung");
    const std::string word = s.read(reg::kPressSwitchWord);
    long long w = 0;
    // Without the word its other bits are unknown: it stays as it is.
    if (parseInteger(word, w))
        s.write(reg::kPressSwitchWord,
                std::to_string(
                    withBits(static_cast<uint32_t>(w), reg::kPressFlowLimitBit, state_.flowLimit)),
                "Flussbegrenzung");
    double limit = 0;
    if (state_.flowLimit && parseNumber(state_.flowLimitValue, limit))
        s.write(reg::kPressFlowLimitS4, formatGeneral(limit), "Flussbegrenzung");
    s.reportRefused("GetKelo");
}

bool PressureControlParams::btnPressSettingsClick() {
    return context_.ui.messageBox(context_.texts.text("infoPressureSettings"), "Warnung",
                                  MsgIcon::Warning, MsgButtons::YesNo) == MsgAnswer::Yes;
}

} // namespace getkelo
