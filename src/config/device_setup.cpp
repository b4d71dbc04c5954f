#include "config/device_setup.h"

#include "comm/ttesra.h"
#include "config/data_sets.h"
#include "config/konfig2.h"
#include "config/setup_export.h"
#include "config/setup_file_path.h"
#include "console/text_source.h"
#include "shell/access_prompts.h"
#include "ui/ui_adapter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace getkelo {
namespace {

constexpr int kSlots = 5;

bool containsNan(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text.find("NAN") != std::string::npos;
}

// The check boxes of the data-set window as they were before an entry changed them.
struct KeepBoxes {
    Daten& d;
    bool config = d.config, lookup = d.lookup, pidSets = d.pidSets;
    ~KeepBoxes() {
        d.config = config;
        d.lookup = lookup;
        d.pidSets = pidSets;
    }
};

} // namespace

DeviceSetupEntries::DeviceSetupEntries(Konfig2& konfig, Daten& daten, UiAdapter& ui,
                                       const TextSource& texts, Clock& clock)
    : konfig_(konfig), daten_(daten), ui_(ui), texts_(texts), clock_(clock) {}

void DeviceSetupEntries::noPath(const std::string& serial, const std::string& version) {
    ui_.messageBox(textWithArgs(texts_, "infoSetupNoPath",
                                "Für dieses Gerät lässt sich kein Dateiname bilden "
                                "(Seriennummer \"%1\", Version \"%2\").",
                                {serial, version}),
                   "Konfiguration", MsgIcon::Error, MsgButtons::Ok);
}

void DeviceSetupEntries::done(const std::string& path) {
    ui_.beep();
    ui_.messageBox(dateiCaption + ": " + path, "Konfiguration", MsgIcon::Information,
                   MsgButtons::Ok);
}

std::string DeviceSetupEntries::ExportMnuClick(TTesra& tesra, const std::string& version,
                                               const std::string& serial,
                                               const SetupPlaces& places) {
    const SetupKind kind = setupKindOf(version);
    if (kind == SetupKind::Neither) {
        // "4.0.0" sorts neither below nor above itself: no generation, no setup to write.
        ui_.messageBox(textWithArgs(texts_, "infoSetupNoKind",
                                    "Für die Softwareversion \"%1\" gibt es keine "
                                    "Konfigurationsdatei.",
                                    {version}),
                       "Konfiguration", MsgIcon::Information, MsgButtons::Ok);
        return "";
    }
    const std::string path =
        kind == SetupKind::Older
            ? olderSetupFilePath(places.workDir, places.newStructure, serial)
            : series4SetupFilePath(places.dataDir, places.newStructure, version, serial);
    if (path.empty()) {
        noPath(serial, version);
        return "";
    }
    if (kind == SetupKind::Older) return exportOlder(tesra, path);
    SetupExport e(tesra, ui_, texts_);
    const bool ok =
        e.WriteSetupFile(path, texts_.text("infoSetupLabel"), texts_.text("infoSetupTitle"),
                         texts_.text("infoSetupLabelEnd"));
    return ok ? path : "";
}

std::string DeviceSetupEntries::exportOlder(TTesra& tesra, const std::string& path) {
    KeepBoxes keep{daten_};
    konfig_.setConnection(&tesra);
    daten_.config = daten_.lookup = daten_.pidSets = true;
    konfig_.setLutChoice(-1);
    konfig_.FormActivate();
    if (!daten_.SaveDataSet(path)) return "";
    daten_.config = daten_.pidSets = false;
    for (int slot = 0; slot < kSlots; ++slot) {
        // An empty slot reads "NaN" as its range; one that cannot be read is left out too,
        // rather than saving "Fehler" over what the file held.
        if (!konfig_.LuTBoxSelect(slot) || konfig_.rangeText().find("NaN") != std::string::npos)
            continue;
        if (daten_.LesenClick() && !daten_.SaveDataSet(path)) return "";
    }
    done(path);
    return path;
}

bool DeviceSetupEntries::ImportMnuClick(TTesra& tesra, const std::string& version,
                                        const std::string& serial, const SetupPlaces& places) {
    if (setupKindOf(version) != SetupKind::Older) return false;
    if (!askDailyAccessCode(ui_, clock_)) return false;
    const std::string path = olderSetupFilePath(places.workDir, places.newStructure, serial);
    if (path.empty()) {
        noPath(serial, version);
        return false;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        ui_.messageBox(textWithArgs(texts_, "infoSetupNotFound", "Daten nicht gefunden..."),
                       "Konfiguration einlesen", MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    return importOlder(tesra, path);
}

bool DeviceSetupEntries::importOlder(TTesra& tesra, const std::string& path) {
    KeepBoxes keep{daten_};
    konfig_.setConnection(&tesra);
    daten_.config = daten_.lookup = daten_.pidSets = true;
    konfig_.setLutChoice(-1);
    // The device's values first: the data set replaces what it holds, "OK" writes what differs.
    konfig_.FormActivate();
    if (!daten_.LoadDataSet(path, "CONFIG_LOOKUP") || !konfig_.OKBtnClick()) return false;
    daten_.config = daten_.pidSets = false;
    bool all = true;
    for (int slot = 0; slot < kSlots; ++slot) {
        konfig_.setLutChoice(slot);
        if (!daten_.LoadDataSet(path, "CONFIG_LOOKUP")) return false;
        // An empty slot's range stands as "NAN" in the file; "NaN" means the same.
        if (containsNan(konfig_.rangeText())) continue;
        // "OK" writes the slot's parameters and, when the set holds one, its table.
        all = konfig_.OKBtnClick() && all;
    }
    done(path);
    return all;
}

} // namespace getkelo
