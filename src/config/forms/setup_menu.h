#pragma once
#include "config/device_setup.h"

#include <QObject>
#include <memory>
#include <string>

class QWidget;

namespace getkelo {

class Clock;
class Daten;
class Konfig2;
class TDaten;
class TextSource;
class TKonfig2;
class TSetupDiff;
class TTesra;
class UiAdapter;

// The main window's setup entries and the dialogs behind them: "Konfig erzeugen",
// "Konfig einlesen", "Vergleichen", and the factory configuration TKonfig2 with its data-set
// window TDaten for the older devices. The caller stops the polling timer around each entry
// and addresses the connection to the selected device.
class SetupMenu : public QObject {
    Q_OBJECT
  public:
    SetupMenu(UiAdapter& ui, const TextSource& texts, Clock& clock, QWidget* parent);
    ~SetupMenu() override;

    void ExportMnuClick(TTesra& tesra, const std::string& version, const std::string& serial,
                        const SetupPlaces& places);
    void ImportMnuClick(TTesra& tesra, const std::string& version, const std::string& serial,
                        const SetupPlaces& places);
    // Series 4: the device now against a setup file the operator chooses (the device's own
    // setup file to start with), shown as a table.
    void VergleichenClick(TTesra& tesra, const std::string& version, const std::string& serial,
                          const SetupPlaces& places);
    // "OEM" for the second and third generation; dataFile is where TDaten starts.
    void openKonfig2(TTesra& tesra, const std::string& dataFile);

    // The captions of the three dialogs in the language now chosen.
    void applyLanguage(const TextSource& texts);

    TKonfig2* konfig2() const { return konfig2_; }
    TDaten* daten() const { return daten_; }
    TSetupDiff* diff() const { return diff_; }
    DeviceSetupEntries& entries() { return *entries_; }

  private:
    UiAdapter& ui_;
    const TextSource& texts_;
    std::unique_ptr<Konfig2> konfigLogic_;
    std::unique_ptr<Daten> datenLogic_;
    std::unique_ptr<DeviceSetupEntries> entries_;
    TKonfig2* konfig2_;
    TDaten* daten_;
    TSetupDiff* diff_;
};

} // namespace getkelo
