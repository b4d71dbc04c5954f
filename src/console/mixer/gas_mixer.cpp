#include "console/mixer/gas_mixer.h"

#include "base/flow_unit.h"
#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "console/device_list.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <set>

namespace getkelo {

namespace {

// Nine significant digits carry a float to the device and back unchanged, so a written target
// compares equal to the setpoint polled afterwards.
std::string setpointText(float value) {
    return formatGeneral(value, 9);
}

} // namespace

GasMixer::GasMixer(MixerHost& host, IniFile& ini, UiAdapter& ui)
    : host_(host), store_(ini), ui_(ui) {}

std::string GasMixer::msg(const char* key, const char* german) const {
    return texts_ ? textOr(*texts_, key, german) : std::string(german);
}

void GasMixer::changed() {
    ++state_.revision;
    if (changed_) changed_();
}

bool GasMixer::hasSelection() const {
    return state_.selected >= 0 && state_.selected < static_cast<int>(entries_.size());
}

MixerDefinition GasMixer::selectedDefinition() const {
    return hasSelection() ? store_.read(entries_[state_.selected].section) : MixerDefinition{};
}

void GasMixer::reload() {
    std::string selectedSection = hasSelection() ? entries_[state_.selected].section : "";
    std::vector<MixerEntry> fresh = store_.list();
    std::vector<MixerPageState::Item> items;
    int selected = -1;
    for (size_t i = 0; i < fresh.size(); ++i) {
        bool active = false;
        for (size_t j = 0; j < entries_.size(); ++j)
            if (entries_[j].section == fresh[i].section) active = state_.mixers[j].active;
        items.push_back({fresh[i].name, active});
        if (!selectedSection.empty() && fresh[i].section == selectedSection)
            selected = static_cast<int>(i);
    }
    entries_ = std::move(fresh);
    state_.mixers = std::move(items);
    if (selected < 0)
        clearSelection();
    else
        state_.selected = selected;
    changed();
}

void GasMixer::newMixer() {
    if (state_.mixing) return;
    std::optional<std::string> name =
        ui_.inputBox(msg("MixCaption", "Mischer"), msg("MixNamePrompt", "Mischer Name:"), "");
    if (!name || name->empty()) return;
    std::string section = store_.create(*name);
    if (section.empty()) return; // the settings file could not be written: nothing to list
    entries_.push_back({section, *name});
    state_.mixers.push_back({*name, false});
    changed();
}

void GasMixer::deleteMixer() {
    if (state_.mixing || !hasSelection()) return;
    store_.erase(entries_[state_.selected].section);
    entries_.erase(entries_.begin() + state_.selected);
    state_.mixers.erase(state_.mixers.begin() + state_.selected);
    clearSelection();
    refreshMarks();
    changed();
}

void GasMixer::clearSelection() {
    state_.selected = -1;
    state_.composition.clear();
    state_.type = MixerType::Fixed;
    state_.shareUnit = ShareUnit::Percent;
    state_.sollwert.clear();
    state_.bereich.clear();
    state_.istwert.clear();
    state_.gesamttotal.clear();
    state_.setpointEnabled = true;
    range_ = 3.4e38;
}

void GasMixer::selectMixer(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) {
        clearSelection();
        refreshMarks();
        changed();
        return;
    }
    const bool otherMixer = index != state_.selected;
    state_.selected = index;
    MixerDefinition def = selectedDefinition();
    state_.composition = compositionRows(def, def.shareUnit);
    state_.type = def.masterSlave() ? MixerType::MasterSlave : MixerType::Fixed;
    state_.shareUnit = def.shareUnit;
    state_.labelsReadOnly = true;
    const DeviceList& list = host_.devices();
    for (int address : def.addresses) {
        if (list.findAddress(address) != 0) continue;
        ui_.messageBox(
            fillArgs(msg("MixDeviceMissing", "Gerät %1 fehlt!"), {std::to_string(address)}),
            msg("MixCaption", "Mischer"), MsgIcon::Warning);
        state_.mixers[index].active = false;
    }
    refreshMarks();
    recomputeTotals();
    recomputeMixtureTotal();
    // The total setpoint belongs to the mixer it was given for: a newly selected mixer starts
    // from what its devices run at, so selecting it changes no setpoint.
    if (otherMixer)
        totalSetpoint_ = static_cast<float>(
            mixerTotals(def, deviceListLookup(host_.devices()), state_.flowUnit).totalSetpoint);
    changed();
}

void GasMixer::setActive(int index, bool active) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    state_.mixers[index].active = active;
    if (active) {
        std::set<int> used;
        for (size_t i = 0; i < entries_.size() && state_.mixers[index].active; ++i) {
            if (!state_.mixers[i].active) continue;
            for (int address : store_.read(entries_[i].section).addresses) {
                if (used.insert(address).second) continue;
                ui_.messageBox(fillArgs(msg("MixDeviceTwice", "Gerät %1 mehrfach verwendet!"),
                                        {std::to_string(address)}),
                               msg("MixCaption", "Mischer"), MsgIcon::Warning);
                state_.mixers[index].active = false;
                break;
            }
        }
    }
    refreshMarks();
    changed();
}

// Not mixing, the marks show the selected mixer's devices, so that clicking rows edits its
// composition; while mixing they show every device an active mixer drives.
void GasMixer::refreshMarks() {
    DeviceList& list = host_.devices();
    std::set<int> marked;
    if (state_.mixing) {
        for (size_t i = 0; i < entries_.size(); ++i)
            if (state_.mixers[i].active)
                for (int a : store_.read(entries_[i].section).addresses)
                    marked.insert(a);
    } else if (hasSelection()) {
        for (int a : selectedDefinition().addresses)
            marked.insert(a);
    }
    for (int row = 1; row <= list.count(); ++row) {
        const char* mark = marked.count(list.record(row).address) ? " x" : "";
        if (list.cell(row, kColMixMark) != mark) list.setCell(row, kColMixMark, mark);
    }
}

void GasMixer::marksChanged(int row) {
    if (state_.mixing || !hasSelection()) return;
    const DeviceList& list = host_.devices();
    std::vector<MarkedDevice> marked;
    for (int r = 1; r <= list.count(); ++r)
        if (list.marked(r, kColMixMark))
            marked.push_back({list.record(r).address, list.cell(r, kColGas)});
    alignWithMarks(state_.composition, marked);
    std::vector<int> addresses;
    for (const CompositionRow& c : state_.composition)
        addresses.push_back(c.address);
    store_.writeAddresses(entries_[state_.selected].section, addresses);
    applyComposition();
}

void GasMixer::setShareText(int row, const std::string& text) {
    if (state_.mixing || row < 0 || row >= static_cast<int>(state_.composition.size())) return;
    state_.composition[row].share = text;
}

void GasMixer::applyComposition() {
    if (state_.mixing || !hasSelection()) return;
    std::vector<StoredShare> shares =
        getkelo::applyComposition(state_.composition, state_.type, state_.shareUnit);
    store_.writeShares(entries_[state_.selected].section, shares, state_.shareUnit);
    state_.labelsReadOnly = true;
    recomputeTotals();
    changed();
}

void GasMixer::setType(MixerType type) {
    if (state_.mixing) return;
    state_.type = type;
    if (hasSelection())
        applyComposition();
    else
        changed();
}

void GasMixer::setShareUnit(ShareUnit unit) {
    if (state_.mixing) return;
    state_.shareUnit = unit;
    if (!hasSelection()) {
        changed();
        return;
    }
    MixerDefinition def = selectedDefinition();
    std::vector<CompositionRow> rows = compositionRows(def, unit);
    // The addresses of the rows stay those the list knows (the file may hold fewer).
    for (size_t i = 0; i < rows.size() && i < state_.composition.size(); ++i)
        if (rows[i].address == 0) rows[i].address = state_.composition[i].address;
    state_.composition = std::move(rows);
    applyComposition();
}

void GasMixer::setFlowUnit(const std::string& unit) {
    // The total setpoint is kept as the same amount of gas, now counted in the new unit.
    totalSetpoint_ = static_cast<float>(convertFlow(totalSetpoint_, state_.flowUnit, unit));
    state_.flowUnit = unit;
    recomputeTotals();
    changed();
}

void GasMixer::setTotalUnit(const std::string& unit) {
    state_.totalUnit = unit;
    recomputeMixtureTotal();
    changed();
}

void GasMixer::recomputeTotals() {
    if (!hasSelection()) return;
    MixerTotals t =
        mixerTotals(selectedDefinition(), deviceListLookup(host_.devices()), state_.flowUnit);
    state_.sollwert = formatGeneral(t.totalSetpoint);
    state_.bereich = formatGeneral(t.range);
    state_.setpointEnabled = t.setpointEnabled;
    range_ = t.range;
}

void GasMixer::recomputeMixtureTotal() {
    if (!hasSelection()) return;
    std::optional<double> total =
        mixtureTotal(selectedDefinition(), deviceListLookup(host_.devices()), state_.totalUnit);
    state_.gesamttotal = total ? formatGeneral(*total) : "";
}

void GasMixer::applySetpoint(const std::string& text) {
    if (!hasSelection()) return;
    if (!state_.mixers[state_.selected].active) {
        // Only an active mixer takes a setpoint: say so instead of dropping the entry.
        ui_.messageBox(fillArgs(msg("MixNotActive", "Der Mischer \"%1\" ist nicht aktiv: Haken "
                                                    "Sie ihn in der Liste an, damit er den "
                                                    "Sollwert übernimmt."),
                                {state_.mixers[state_.selected].name}),
                       msg("MixCaption", "Mischer"), MsgIcon::Information);
        return;
    }
    recomputeTotals();
    double value = textToDouble(text);
    // No component can run below 0; a negative entry would leave every setpoint unchanged.
    if (value < 0) value = 0;
    if (range_ < value) {
        ui_.messageBox(msg("MixSetpointTooHigh", "Sollwert zu gross!"),
                       msg("MixCaption", "Mischer"), MsgIcon::Warning);
        value = range_;
    }
    totalSetpoint_ = static_cast<float>(value);
    state_.sollwert = formatGeneral(totalSetpoint_);
    changed();
}

void GasMixer::startMixing() {
    if (state_.mixing) return;
    bool anyActive = false;
    for (const auto& m : state_.mixers)
        anyActive = anyActive || m.active;
    if (!anyActive) {
        // Mixing would drive nothing: no mixer is ticked.
        ui_.messageBox(msg("MixNoActive", "Kein Mischer ist aktiv: Haken Sie den Mischer in der "
                                          "Liste an, bevor Sie mischen."),
                       msg("MixCaption", "Mischer"), MsgIcon::Information);
        changed(); // the page releases the button again
        return;
    }
    state_.mixing = true;
    host_.lockPollAll(true);
    refreshMarks();
    selectMixer(state_.selected);
}

void GasMixer::stopMixing() {
    if (!state_.mixing) return;
    MsgAnswer answer =
        ui_.messageBox(msg("MixStopInfo", "Der Mischer wird deaktiviert!") + "\r\n" +
                           msg("MixStopQuestion", "Alle Sollwerte auf 0?"),
                       msg("MixCaption", "Mischer"), MsgIcon::Question, MsgButtons::YesNo);
    const bool zero = answer == MsgAnswer::Yes;
    if (zero) host_.allSetpointsZero();
    endMixing();
    if (zero) {
        // The devices run at 0 now; their next poll would say so a tick later.
        totalSetpoint_ = 0;
        state_.sollwert = "0";
        changed();
    }
}

void GasMixer::stop() {
    if (state_.mixing) endMixing();
}

void GasMixer::endMixing() {
    state_.mixing = false;
    selectMixer(state_.selected);
    state_.istwert.clear();
    host_.lockPollAll(false);
    changed();
}

void GasMixer::clearTotals() {
    TTesra* tesra = host_.connection();
    if (!tesra || !hasSelection()) return;
    const DeviceList& list = host_.devices();
    host_.stopTimer();
    const uint8_t address = tesra->Address;
    for (int a : selectedDefinition().addresses) {
        int row = list.findAddress(a);
        if (row == 0 || !(list.record(row).functions & kFnTotalizer)) continue;
        tesra->Address = static_cast<uint8_t>(a);
        tesra->WriteValue(reg::kTotalizer, "0", kWriteAddressed);
    }
    tesra->Address = address;
    host_.startTimer();
}

void GasMixer::step() {
    TTesra* tesra = host_.connection();
    if (!state_.mixing || !tesra) return;
    DeviceLookup lookup = deviceListLookup(host_.devices());
    // The console reads the selected device's live values after this step: give it back its
    // address.
    const uint8_t address = tesra->Address;
    const std::string istwert = state_.istwert, gesamttotal = state_.gesamttotal;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (!state_.mixers[i].active) continue;
        const bool selected = static_cast<int>(i) == state_.selected;
        MixerStepResult r = mixerStep(store_.read(entries_[i].section), lookup, state_.flowUnit,
                                      selected, totalSetpoint_);
        for (const SetpointWrite& w : r.writes) {
            tesra->Address = static_cast<uint8_t>(w.address);
            // A failed write is not reported: the target still differs next tick and is sent
            // again.
            tesra->WriteValue(reg::kSetpoint, setpointText(w.value), kWriteAddressed);
        }
        if (selected) state_.istwert = formatGeneral(r.actual);
    }
    tesra->Address = address;
    // The setpoints polled in this tick show what the mixture is running at.
    const std::string sollwert = state_.sollwert;
    recomputeTotals();
    recomputeMixtureTotal();
    if (state_.istwert != istwert || state_.gesamttotal != gesamttotal ||
        state_.sollwert != sollwert)
        changed();
}

} // namespace getkelo
