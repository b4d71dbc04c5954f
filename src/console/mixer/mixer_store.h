#pragma once
#include <string>
#include <vector>

namespace getkelo {

class IniFile;

// The share text that marks the master of a master-slave mixer.
inline constexpr const char* kMasterShare = "Master";

// The units in which shares are shown and entered (key "Anteil").
enum class ShareUnit : int { Percent = 0, Ppm = 1 };
double shareDivisor(ShareUnit unit); // 100 or 1 000 000

// One row of a stored composition: "GasName_<n>" and "GasAnteil_<n>".
struct StoredShare {
    std::string gasName;
    bool master = false;
    double fraction = 0; // 0.25 = 25 %
};

// One mixer section of the settings file.
struct MixerDefinition {
    std::string section;             // "Mischer<n>"
    std::string name;                // "Name"
    std::vector<int> addresses;      // "tesra_<n>" up to the first missing or 0
    std::vector<StoredShare> shares; // "GasName_<n>" while present
    ShareUnit shareUnit = ShareUnit::Percent;

    // Component n (0-based) is the master / its fraction (0 for a component without a share).
    bool isMaster(size_t n) const { return n < shares.size() && shares[n].master; }
    double fraction(size_t n) const { return n < shares.size() ? shares[n].fraction : 0.0; }
    bool masterSlave() const { return isMaster(0); }
};

// A mixer in the list: its section and the name shown.
struct MixerEntry {
    std::string section;
    std::string name;
};

// The gas-mixer sections of the settings file, read and written through the one IniFile.
class MixerStore {
  public:
    explicit MixerStore(IniFile& ini) : ini_(ini) {}

    // Every section whose name contains "Mischer", in file order.
    std::vector<MixerEntry> list() const;
    // Creates "Mischer<n>" (smallest n from 0 not yet a section) with "Name"; returns the
    // section, or "" when the file could not be written.
    std::string create(const std::string& name);
    bool erase(const std::string& section);

    MixerDefinition read(const std::string& section) const;
    // Replaces the "GasName_"/"GasAnteil_" rows and writes "Anteil".
    bool writeShares(const std::string& section, const std::vector<StoredShare>& shares,
                     ShareUnit unit);
    // Replaces the "tesra_" keys.
    bool writeAddresses(const std::string& section, const std::vector<int>& addresses);

  private:
    IniFile& ini_;
};

} // namespace getkelo
