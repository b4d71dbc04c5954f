#pragma once
#include "config/params/page_session.h"

#include <string>

namespace getkelo {

struct PressureControlState {
    std::string setpoint;       // "Sollwert" (0x5F06)
    std::string unit;           // its unit label (0x5F08)
    std::string tagName;        // "Druckmessstellenbezeichnung" (0x5F27)
    bool flowLimit = false;     // "Flussbegrenzung aktiv": bit 0 of 0x5F0F
    std::string flowLimitValue; // shown only with flowLimit (0x5F0C)
    std::string flowUnit;       // "FlowUnit" (0x6046)
};

// Page "Druckregelung": the pressure setpoint with its upper limit, the tag name, the flow
// limit, and the way to the expert settings.
class PressureControlParams {
  public:
    explicit PressureControlParams(PageContext context) : context_(std::move(context)) {}
    PressureControlState& state() { return state_; }

    void tbsPControlShow();
    // Sends the entered setpoint; one above the upper limit (0x5F04) is replaced by the limit.
    // A text that is no number, or a limit that cannot be read, sends nothing (message).
    void btnPControlSSetpointClick(const std::string& entered);
    void chkPControlFLimitClick(bool ticked);
    // "Speichern": tag name, flow-limit bit, flow limit (from state()).
    void btnSavePressClick();
    // The warning before the expert settings; true when the operator goes on.
    bool btnPressSettingsClick();

  private:
    PageContext context_;
    PressureControlState state_;
};

} // namespace getkelo
