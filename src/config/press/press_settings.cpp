#include "config/press/press_settings.h"

#include "base/number_format.h"
#include "config/params/series4_page_registers.h"
#include "console/control_mode.h"
#include "console/text_source.h"

namespace getkelo {

namespace {
constexpr int kModeCodes[2] = {5, 6};
}

PressSettings::PressSettings(PageContext context)
    : context_(std::move(context)), frames_{PressContSetup(0), PressContSetup(1), PressContSetup(2),
                                            PressContSetup(3), PressContSetup(4)} {}

std::array<std::string, 2> PressSettings::modeNames() const {
    std::array<std::string, 2> names;
    for (int i = 0; i < 2; ++i)
        names[i] =
            context_.texts.text("ModusBox" + std::to_string(controlModeEntry(kModeCodes[i])));
    return names;
}

void PressSettings::FormShow() {
    PageSession s(context_);
    if (!s) return;
    frames_ = {PressContSetup(0), PressContSetup(1), PressContSetup(2), PressContSetup(3),
               PressContSetup(4)};
    const long long active = s.readInteger(reg::kPressActiveSetS4, -1);
    state_.activeSet = static_cast<int>(active);
    state_.activeSetOutside = active < 0 || active >= kPressSets;
    state_.shownTab = state_.activeSetOutside ? 0 : static_cast<int>(active);
    frames_[state_.shownTab].read(s);

    const long long mode = s.readInteger(reg::kControlMode, -1);
    state_.modeEntry = mode == kModeCodes[0] ? 0 : mode == kModeCodes[1] ? 1 : -1;
    state_.k0 = s.read(reg::kPressK0S4);
    state_.k1 = s.read(reg::kPressK1S4);
    state_.scaleZero = s.read(reg::kPressScaleZeroS4);
    state_.scaleFull = s.read(reg::kPressScaleFullS4);
    state_.invert = s.readInteger(reg::kPressSwitchWord) & reg::kPressInvertBit;
    state_.unit = s.read(reg::kPressureUnitText);
    state_.filter = s.read(reg::kPressMeasureFilter);
}

void PressSettings::PageControl1Change(int tab) {
    if (tab < 0 || tab >= kPressSets) return;
    state_.shownTab = tab;
    if (frames_[tab].edited()) return;
    PageSession s(context_);
    if (s) frames_[tab].read(s);
}

void PressSettings::btnSaveClick() {
    PageSession s(context_);
    if (!s) return;
    s.write(reg::kPressK0S4, state_.k0, "Regelparameter k0");
    s.write(reg::kPressK1S4, state_.k1, "Regelparameter k1");
    s.write(reg::kPressScaleZeroS4, state_.scaleZero, "Skalierung Nullpunkt");
    s.write(reg::kPressScaleFullS4, state_.scaleFull, "Skalierung Endwert");
    frames_[state_.shownTab].write(s);
    for (PressContSetup& f : frames_)
        if (f.set() != state_.shownTab && f.loaded() && f.edited()) f.write(s);
    s.write(reg::kPressureUnitText, state_.unit, "Druckeinheit");
    s.write(reg::kPressMeasureFilter, state_.filter, "Filter für Druckmesswert");
    long long word = 0;
    // Without the word its other bits are unknown: it stays as it is.
    if (parseInteger(s.read(reg::kPressSwitchWord), word))
        s.write(reg::kPressSwitchWord,
                std::to_string(
                    withBits(static_cast<uint32_t>(word), reg::kPressInvertBit, state_.invert)),
                "Wirkrichtung Invertieren");
    if (state_.modeEntry == 0 || state_.modeEntry == 1)
        s.write(reg::kControlMode, std::to_string(kModeCodes[state_.modeEntry]), "Regelmodus");
    s.reportRefused("GetKelo");
}

} // namespace getkelo
