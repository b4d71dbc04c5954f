#pragma once
#include <string>
#include <utility>
#include <vector>

namespace getkelo {

class TextSource;
class TTesra;
class UiAdapter;

// One section of a setup file, its keys in the order they are written.
struct SetupSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;
};

// A series-4 device's setup as read: "SETUP" and one "SETUP_LUT_<s>" per used slot.
struct DeviceSetup {
    std::vector<SetupSection> sections;
    std::vector<int> usedSlots;
    // Values that could not be read; each stands as "Fehler" in its key, like a failed single
    // read, so a file never shows another slot's or set's value in its place.
    int failedReads = 0;
};

// The series-4 setup export: reads every register of the setup layout (setup_layout.h) at the
// connection's address and writes the setup file.
class SetupExport {
  public:
    SetupExport(TTesra& tesra, UiAdapter& ui, const TextSource& texts);

    // The setup of the device, with the progress window open under caption and label
    // (position per key, maximum 102 + 52 per used slot; the window stays open). A slot is
    // used when its "LookupIdent" is not "0". Both selectors (0x5FFF, 0x5FF7) end at 0, also
    // when reads fail on the way; a slot or set that cannot be chosen reads as "Fehler".
    DeviceSetup read(const std::string& caption, const std::string& label);

    // Reads the setup and writes it into the file at path: keys that exist are replaced,
    // everything else in the file stays (the sections of slots no longer used too); missing
    // folders are made. Beeps, closes the window with endText. Tells the operator when the
    // file cannot be written (false) or when values could not be read (true, the file holds
    // "Fehler" for them). `setup` receives what was read.
    bool WriteSetupFile(const std::string& path, const std::string& label,
                        const std::string& caption, const std::string& endText,
                        DeviceSetup* setup = nullptr);

  private:
    TTesra& tesra_;
    UiAdapter& ui_;
    const TextSource& texts_;
};

// Stores the sections into the file in one atomic replacement (folders made as needed);
// false with the reason in error.
bool storeSetup(const DeviceSetup& setup, const std::string& path, std::string& error);

} // namespace getkelo
