#pragma once
#include <string>
#include <utility>
#include <vector>

namespace getkelo {

class Clock;
class Konfig2;
class TextSource;
class UiAdapter;

// The logic of the data-set window TDaten: an older device's configuration, its five PID
// sets and its lookup tables as sections of its calibration data file, moved between the
// file and the factory configuration dialog's logic (Konfig2), which reads and writes the
// device.
//
// Section "CONFIG" holds the configuration (and the PID sets), "CONFIG_LOOKUP" the
// parameters and 129 values of the tables, each key with the suffix "_<slot>" of the chosen
// slot, or none when no slot is chosen. "UnitType" is the two type-code parts joined with
// ";", "Functions" the whole function word, "HardwareVer" and "SoftwareVer" version texts.
class Daten {
  public:
    Daten(Konfig2& konfig, UiAdapter& ui, const TextSource& texts, Clock& clock);

    // The check boxes "CONFIG", "LOOKUP" and "PID Sets".
    bool config = true;
    bool lookup = true;
    bool pidSets = true;

    // Writes the ticked parts from the dialog's values into the file in one atomic
    // replacement (other sections and keys stay; missing folders are made). The PID sets are
    // read from the device; a set that cannot be read is left out and the operator told.
    // False when the file could not be written.
    bool SaveDataSet(const std::string& path);

    // Fills the dialog from the ticked parts of the file; the lookup part from the section
    // named (with the slot suffix when it is "CONFIG_LOOKUP"; a LOOKUP section of the
    // calibration data has none). Every key is checked first: a value that does not fit its
    // field loads nothing at all and the operator is told the section and key. Missing keys
    // leave fields as they were. With "PID Sets" the sets in the file are written into the
    // device. False when nothing was loaded (missing file, damaged section, a PID write the
    // device refused).
    bool LoadDataSet(const std::string& path, const std::string& lookupSection);

    // "Lesen": the chosen slot's 129 values from the device into the dialog's table; enables
    // "Schreiben". "Schreiben": the table into the chosen slot.
    bool LesenClick();
    bool SchreibenClick();
    bool schreibenEnabled() const { return schreibenEnabled_; }

  private:
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    std::string text(const char* key, const char* fallback,
                     const std::vector<std::string>& args = {}) const;
    bool savePidSets(Pairs& pairs);
    bool writePidSets(const std::vector<std::pair<int, std::vector<double>>>& sets,
                      const std::string& modus, const std::string& set);
    bool slotChosen();

    Konfig2& konfig_;
    UiAdapter& ui_;
    const TextSource& texts_;
    Clock& clock_;
    bool schreibenEnabled_ = false;
};

} // namespace getkelo
