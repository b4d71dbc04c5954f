#pragma once
#include <string>

namespace getkelo {

class Clock;
class Daten;
class Konfig2;
class TextSource;
class TTesra;
class UiAdapter;

// Where setup files go: the working directory (older devices' data sets), the data-file
// directory (series-4 setup files) and whether the new folder layout is on.
struct SetupPlaces {
    std::string workDir, dataDir;
    bool newStructure = false;
};

// The menu entries "Konfig erzeugen" and "Konfig einlesen" for the selected device, decided by
// its software version text (setup_file_path.h). Older devices go through the factory
// configuration (Konfig2) and the data sets (Daten) into their calibration data file; series 4
// writes a setup file of its own and has no import. The caller stops the polling timer around
// each entry and addresses the connection to the device.
class DeviceSetupEntries {
  public:
    DeviceSetupEntries(Konfig2& konfig, Daten& daten, UiAdapter& ui, const TextSource& texts,
                       Clock& clock);

    // The caption of the menu "Datei", for the closing message.
    std::string dateiCaption = "Datei";

    // "Konfig erzeugen": the file written, "" when none (version "4.0.0", no file name, a
    // write that failed; the operator was told what went wrong).
    std::string ExportMnuClick(TTesra& tesra, const std::string& version, const std::string& serial,
                               const SetupPlaces& places);
    // "Konfig einlesen" (older devices only, after the daily access code): the data set into
    // the device, the configuration first, then each slot that is not empty. Nothing reaches
    // the device when the file is missing or a section is damaged. True when all was written.
    bool ImportMnuClick(TTesra& tesra, const std::string& version, const std::string& serial,
                        const SetupPlaces& places);

  private:
    std::string exportOlder(TTesra& tesra, const std::string& path);
    bool importOlder(TTesra& tesra, const std::string& path);
    void noPath(const std::string& serial, const std::string& version);
    void done(const std::string& path);

    Konfig2& konfig_;
    Daten& daten_;
    UiAdapter& ui_;
    const TextSource& texts_;
    Clock& clock_;
};

} // namespace getkelo
