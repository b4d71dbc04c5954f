#pragma once
#include "console/mixer/composition.h"
#include "console/mixer/mixer_store.h"

#include <cstdint>
#include <string>
#include <vector>

namespace getkelo {

// The mixture flow units and totalizer units the page offers.
inline const std::vector<std::string>& mixtureFlowUnits() {
    static const std::vector<std::string> units{"mln/min", "ln/min", "ln/h",  "m3n/h", "mls/min",
                                                "ls/min",  "ls/h",   "m3s/h", "sccm"};
    return units;
}
inline const std::vector<std::string>& mixtureTotalUnits() {
    static const std::vector<std::string> units{"mln", "ln", "m3n", "mls", "ls", "m3s", "scc"};
    return units;
}

// Everything the "Mischer" page shows; the page renders it and forwards the operator's
// actions to GasMixer. `revision` moves with every change.
struct MixerPageState {
    struct Item {
        std::string name;
        bool active = false;
    };
    std::vector<Item> mixers;
    int selected = -1; // index into mixers, -1 none

    MixerType type = MixerType::Fixed;
    std::vector<CompositionRow> composition;
    ShareUnit shareUnit = ShareUnit::Percent;
    bool labelsReadOnly = true;

    std::string flowUnit = "mln/min";
    std::string totalUnit = "mln";
    std::string sollwert;        // total setpoint field
    std::string bereich;         // mixture range
    std::string istwert;         // actual total flow
    std::string gesamttotal;     // mixture totalizer
    bool setpointEnabled = true; // entry and its "Übernehmen"

    bool mixing = false; // "Mischen" down: composition, new and delete are locked
    uint64_t revision = 0;
};

} // namespace getkelo
