#pragma once
#include "calib/data_file_path.h"

#include <ostream>
#include <string>
#include <vector>

namespace getkelo {
class TTesra;
class UiAdapter;
struct SetupDifference;
} // namespace getkelo

namespace getkelo::cli {

// The work of "lut" and "eeprom" on an open connection at the device's address, the same
// logic the windows use; exit codes of cli_context.h. The commands (cli_lut.cpp,
// cli_eeprom.cpp) open the bus and call these; tests run them on the simulated bus.

struct LutReadArgs {
    int slot = 0;
    std::string file;                     // empty: the device's data file
    std::string typeText = "tesra Typ03"; // type of the data file's folder and tag
    DataFileRoot root;                    // where the data files live
};
// A new LOOKUP section from the slot; prints "<section> <file>" on out.
int lutRead(TTesra& tesra, UiAdapter& ui, const LutReadArgs& args, std::ostream& out);

// A LOOKUP section of the file into the slot (a "v02" file through the EEPROM image).
int lutWrite(TTesra& tesra, UiAdapter& ui, int slot, const std::string& section,
             const std::string& file);

// The first-generation EEPROM image into an image file, and an image file into the device.
int eepromRead(TTesra& tesra, UiAdapter& ui, const std::string& file);
int eepromWrite(TTesra& tesra, UiAdapter& ui, const std::string& file);

// "setup": a series-4 device's setup into a file; the differences of two setup files, or of a
// file and the device now, printed by section with old and new value. The diffs return 0 when
// equal, 1 when different, 2 when a file cannot be read.
int setupExport(TTesra& tesra, UiAdapter& ui, const std::string& file);
int setupDiffFiles(const std::string& before, const std::string& after, std::ostream& out);
int setupDiffDevice(TTesra& tesra, UiAdapter& ui, const std::string& file, std::ostream& out);
void printSetupDifferences(const std::vector<SetupDifference>& diffs, std::ostream& out);

} // namespace getkelo::cli
