#include "config/forms/setup_menu.h"

#include "comm/ttesra.h"
#include "config/data_sets.h"
#include "config/forms/form_captions.h"
#include "config/forms/tdaten.h"
#include "config/forms/tkonfig2.h"
#include "config/forms/tsetup_diff.h"
#include "config/konfig2.h"
#include "config/setup_diff.h"
#include "config/setup_export.h"
#include "config/setup_file_path.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <QWidget>

namespace getkelo {

SetupMenu::SetupMenu(UiAdapter& ui, const TextSource& texts, Clock& clock, QWidget* parent)
    : QObject(parent), ui_(ui), texts_(texts), konfigLogic_(std::make_unique<Konfig2>(ui, texts)),
      datenLogic_(std::make_unique<Daten>(*konfigLogic_, ui, texts, clock)),
      entries_(
          std::make_unique<DeviceSetupEntries>(*konfigLogic_, *datenLogic_, ui, texts, clock)) {
    konfig2_ = new TKonfig2(*konfigLogic_, ui, parent);
    daten_ = new TDaten(*datenLogic_, ui, parent);
    diff_ = new TSetupDiff(parent);
    konfig2_->onData = [this] { daten_->exec(); };
    daten_->changed = [this] { konfig2_->refresh(); };
}

SetupMenu::~SetupMenu() = default;

void SetupMenu::applyLanguage(const TextSource& texts) {
    for (QWidget* form : std::initializer_list<QWidget*>{konfig2_, daten_, diff_})
        applyFormCaptions(form, texts);
}

void SetupMenu::ExportMnuClick(TTesra& tesra, const std::string& version, const std::string& serial,
                               const SetupPlaces& places) {
    entries_->ExportMnuClick(tesra, version, serial, places);
}

void SetupMenu::ImportMnuClick(TTesra& tesra, const std::string& version, const std::string& serial,
                               const SetupPlaces& places) {
    entries_->ImportMnuClick(tesra, version, serial, places);
}

void SetupMenu::VergleichenClick(TTesra& tesra, const std::string& version,
                                 const std::string& serial, const SetupPlaces& places) {
    const std::string caption = textWithArgs(texts_, "infoSetupCompareTitle", "Vergleichen");
    if (setupKindOf(version) != SetupKind::Series4) {
        ui_.messageBox(textWithArgs(texts_, "infoSetupCompareOnlyS4",
                                    "Vergleichen gibt es für Geräte der Serie 4."),
                       caption, MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    std::string start = series4SetupFilePath(places.dataDir, places.newStructure, version, serial);
    if (start.empty()) start = places.dataDir;
    const auto file = ui_.chooseFile(caption, start, "Daten (*.dat);;Alle Dateien (*)", false);
    if (!file) return;
    std::vector<SetupSection> saved;
    std::string error;
    if (!loadSetupFile(*file, saved, error)) {
        ui_.messageBox(error, caption, MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    const DeviceSetup now =
        SetupExport(tesra, ui_, texts_).read(caption, texts_.text("infoSetupLabel"));
    ui_.progressFinish("");
    diff_->setDifferences(diffSetups(saved, now.sections), *file,
                          textWithArgs(texts_, "infoSetupCompareEqual",
                                       "Keine Unterschiede zwischen dem Gerät und \"%1\".",
                                       {*file}));
    diff_->exec();
}

void SetupMenu::openKonfig2(TTesra& tesra, const std::string& dataFile) {
    daten_->setFile(dataFile);
    konfig2_->open(tesra);
}

} // namespace getkelo
