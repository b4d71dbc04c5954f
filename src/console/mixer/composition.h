#pragma once
#include "console/mixer/mixer_store.h"

#include <string>
#include <vector>

namespace getkelo {

enum class MixerType : int {
    Fixed = 0,       // "Gasgemisch fix"
    MasterSlave = 1, // "Master - Slave - Mischer"
};

// One row of the composition list as the page shows and edits it.
struct CompositionRow {
    std::string label; // the component's gas name
    std::string share; // as shown and typed, in the share unit, or "Master"
    int address = 0;   // the component device (0 when not known)
};

// A device marked for the selected mixer (column 12).
struct MarkedDevice {
    int address = 0;
    std::string gasName; // column 3
};

// The stored fractions shown in the share unit: fraction x 100 (%) or x 1 000 000 (ppm);
// the master shows "Master". Addresses come from the component list, row by row.
std::vector<CompositionRow> compositionRows(const MixerDefinition& definition, ShareUnit unit);

// "Übernehmen": the first row becomes the remainder of 100 % / 1 000 000 ppm (fixed mixture) or
// "Master" (master-slave); returns the rows as fractions for the settings file. A share text
// that is not a number counts 0.
std::vector<StoredShare> applyComposition(std::vector<CompositionRow>& rows, MixerType type,
                                          ShareUnit unit);

// Brings the rows in line with the marked devices: rows of devices no longer marked go, a
// marked device without a row gets a new row at the end with share "0". A row is matched to
// its device by address, or by gas name when the row has no address yet.
void alignWithMarks(std::vector<CompositionRow>& rows, const std::vector<MarkedDevice>& marked);

} // namespace getkelo
