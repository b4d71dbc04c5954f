#pragma once
#include "config/params/page_session.h"
#include "config/press/press_cont_setup.h"

#include <array>
#include <string>

namespace getkelo {

inline constexpr int kPressSets = 5;

struct PressSettingsState {
    int shownTab = 0;              // 0..4, tab "Set " + (shownTab + 1)
    int activeSet = 0;             // 0x5F10 as read; -1 when it is no number
    bool activeSetOutside = false; // 0x5F10 outside 0..4: the first tab is shown, with a note
    int modeEntry = -1;            // "Regelmodus": 0 (code 5), 1 (code 6), -1 none
    std::string k0, k1, scaleZero, scaleFull, unit, filter;
    bool invert = false; // "Wirkrichtung Invertieren": bit 1 of 0x5F0F
};

// The logic of TPressSettings ("Druckregelungseinstellungen [Auf eigene Gefahr!]").
// Saving writes the set of the shown tab and every other set the operator edited; a tab that
// was never shown was never read and is not written.
class PressSettings {
  public:
    explicit PressSettings(PageContext context);
    PressSettingsState& state() { return state_; }
    PressContSetup& frame(int set) { return frames_[set]; }

    // The two "Regelmodus" entries (language keys of control-mode codes 5 and 6).
    std::array<std::string, 2> modeNames() const;

    void FormShow();
    // Tab changed: the new tab's frame reads its set unless it holds unsaved edits.
    void PageControl1Change(int tab);
    // "Übernehmen" (the form puts the fields into state() and the frames first).
    void btnSaveClick();

  private:
    PageContext context_;
    PressSettingsState state_;
    std::array<PressContSetup, kPressSets> frames_;
};

} // namespace getkelo
