#pragma once
#include "calib/lut_correction.h"

#include <cstdint>
#include <string>
#include <vector>

namespace getkelo {

class CalibDataFiles;
class TTesra;
class TextSource;
class UiAdapter;

// What "Berechnen" of the page "Berechnen" works from.
struct LutAdjustmentRequest {
    std::string file;        // the device's calibration data file
    std::string dataSection; // the adjustment data set ("DATA" + index)
    double endStep = 0.018;  // "LuT-Ende"
    double start = 0;        // "Teilbereich" window, flows
    double stop = 3.4e38;
};

struct LutAdjustmentResult {
    bool written = false;      // the new table is in the device, its file and selected
    int slot = -1;             // the slot that received it and is now selected
    std::string backupSection; // LOOKUP section holding the table it replaced
    std::string newSection;    // LOOKUP section holding the new table
    uint32_t identity = 0;     // of the new table
    LutValues before{};        // slot 0 before
    LutCorrection correction;  // deviations per point and the new table
};

// The corrected lookup table of TKalibration (LookupBtnClick): the active table (slot 0) is
// corrected by the ratios reference / device of an adjustment data set and goes back into
// slot 0 with a new identity, into the data file as a new LOOKUP section, and into the slot
// that held the active table, which is then selected.
//
// Nothing is lost on the way: before the first write the active table is in the data file
// (an existing LOOKUP section with its identity, or a new one); when writing the new table
// fails the old one is written back, and when even that fails the operator is told which
// slot holds what and which section keeps the old table.
class LutAdjustment {
  public:
    LutAdjustment(TTesra& tesra, UiAdapter& ui, const TextSource& texts, CalibDataFiles& files);

    LutAdjustmentResult LookupBtnClick(const LutAdjustmentRequest& request);

    // The identity of the active table as the page shows it; "" when it cannot be read.
    std::string activeIdentity();

  private:
    bool readIdentity(int slot, uint32_t& ident);
    int slotHolding(uint32_t ident);
    std::string savedSection(const std::string& file, uint32_t ident) const;
    void tell(const std::string& text, bool error = true);
    std::string text(const char* key, const char* fallback,
                     const std::vector<std::string>& args = {}) const;

    TTesra& tesra_;
    UiAdapter& ui_;
    const TextSource& texts_;
    CalibDataFiles& files_;
};

} // namespace getkelo
