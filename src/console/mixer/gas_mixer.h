#pragma once
#include "console/mixer/mixer_host.h"
#include "console/mixer/mixer_page_state.h"
#include "console/mixer/mixer_step.h"
#include "console/mixer/mixer_store.h"
#include "console/tick_hooks.h"

#include <functional>
#include <string>
#include <vector>

namespace getkelo {

class IniFile;
class TextSource;
class UiAdapter;

// The gas mixer: the mixer definitions of the settings file, the "Mischer" page's operations
// and the mixing step the polling tick runs. Several mixers can be active at once; only the
// one selected in the list takes the operator's total setpoint.
class GasMixer final : public MixerHook {
  public:
    GasMixer(MixerHost& host, IniFile& ini, UiAdapter& ui);

    const MixerPageState& state() const { return state_; }
    // Called after every change of state() (the page repaints).
    void setChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }
    // The language texts of the mixer's messages (without, the German ones are shown).
    void setTexts(const TextSource* texts) { texts_ = texts; }

    // Reads the mixer list from the settings file (start-up); active marks and the selection
    // stay with their sections.
    void reload();

    // ---- the mixer list
    void newMixer();    // "Neuer Mischer"
    void deleteMixer(); // "Löschen"
    void selectMixer(int index);
    void setActive(int index, bool active);

    // ---- composition
    void setShareText(int row, const std::string& text);
    void applyComposition(); // "Übernehmen" below the composition
    void setType(MixerType type);
    void setShareUnit(ShareUnit unit);

    // ---- mixture
    void setFlowUnit(const std::string& unit);
    void setTotalUnit(const std::string& unit);
    void applySetpoint(const std::string& text); // "Übernehmen" beside "Sollwert"
    void startMixing();                          // "Mischen" (only with an active mixer)
    void stopMixing();                           // "Anhalten"
    void clearTotals();                          // "Total löschen"

    // The operator's total setpoint in the mixture unit.
    double totalSetpoint() const { return totalSetpoint_; }

    // ---- MixerHook
    bool mixing() const override { return state_.mixing; }
    void step() override;
    void marksChanged(int row) override;
    void stop() override;
    void rowRemoved(int row) override {}

  private:
    bool hasSelection() const;
    MixerDefinition selectedDefinition() const;
    void clearSelection();
    void refreshMarks();
    void recomputeTotals();
    void recomputeMixtureTotal();
    void endMixing();
    void changed();
    std::string msg(const char* key, const char* german) const;

    MixerHost& host_;
    MixerStore store_;
    UiAdapter& ui_;
    const TextSource* texts_ = nullptr;
    std::vector<MixerEntry> entries_; // parallel to state_.mixers
    MixerPageState state_;
    float totalSetpoint_ = 0;
    double range_ = 3.4e38;
    std::function<void()> changed_;
};

} // namespace getkelo
