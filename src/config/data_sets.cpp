#include "config/data_sets.h"

#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "base/make_folders.h"
#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "config/konfig2.h"
#include "console/text_source.h"
#include "graphs/pid_access.h"
#include "ui/ui_adapter.h"

#include <cfloat>
#include <cmath>
#include <fstream>
#include <strings.h>

namespace getkelo {
namespace {

constexpr const char* kCaption = "Data";
constexpr const char* kConfig = "CONFIG";
constexpr const char* kConfigLookup = "CONFIG_LOOKUP";
constexpr int kPidSetCount = 5;
constexpr const char* kPidKeys[kPidParams] = {"P", "I", "D", "N", "F"}; // PidParam order
constexpr const char* kPidSaveOrder = "PIDFN";

// "CONFIG" keys and the dialog fields they come from; save-only keys are not loaded.
struct ConfigKey {
    const char* key;
    const char* field;
    bool saveOnly = false;
};
const ConfigKey kConfigKeys[] = {
    {"HardwareVer", "HWVer"},    {"SoftwareVer", "SWVer", true},
    {"Functions", "Functions"},  {"Name", "GasBox"},
    {"Range", "Range"},          {"FlowUnit", "FUnit"},
    {"Dynamic", "Dynamic"},      {"Factor", "TotFactor", true},
    {"TotalUnit", "TUnit"},      {"k0mAOut", "k0_mA_Output"},
    {"k1mAOut", "k1_mA_Output"}, {"k0mAIn", "k0_mA_Input"},
    {"k1mAIn", "k1_mA_Input"},   {"k0VIn", "k0_V_Input"},
    {"k1VIn", "k1_V_Input"},     {"InputKind", "AnalogSource"},
    {"Interval", "TInterval"},   {"Resolution", "TResolution"},
    {"AHI", "ValveAHI"},         {"LinPWM", "PWMLin"},
    {"VSTFlow", "VSTFlow"},      {"Limit", "FilterLimit"},
    {"Average", "FilterAvrge"},
};

// The lookup keys of a data set; "CalibPressure" keeps the slot's calibration pressure too.
const char* const kLookupKeys[] = {
    "Gas",        "Range",       "FlowUnit",   "kFT",     "kFTT",     "kFFT",
    "kFFTT",      "Offset_k0",   "Offset_k1",  "Temp_k0", "Temp_k1",  "kn_sccm",
    "ThetaCalib", "LookupIdent", "LookupInfo", "PressIn", "PressOut", "CalibPressure"};

bool absent(const std::string& v) {
    return v.empty() || v == "Fehler";
}

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t semi = text.find(';', start);
        out.push_back(text.substr(start, semi == std::string::npos ? semi : semi - start));
        if (semi == std::string::npos) return out;
        start = semi + 1;
    }
}

bool finiteNumber(const std::string& text, double& v) {
    return parseNumber(text, v) && std::fabs(v) <= FLT_MAX;
}

int pidIndex(char c) {
    for (int p = 0; p < kPidParams; ++p)
        if (kPidKeys[p][0] == c) return p;
    return 0;
}

} // namespace

Daten::Daten(Konfig2& konfig, UiAdapter& ui, const TextSource& texts, Clock& clock)
    : konfig_(konfig), ui_(ui), texts_(texts), clock_(clock) {}

std::string Daten::text(const char* key, const char* fallback,
                        const std::vector<std::string>& args) const {
    return textWithArgs(texts_, key, fallback, args);
}

// ------------------------------------------------------------------ save

bool Daten::SaveDataSet(const std::string& path) {
    // A refused entry would make the data set one that cannot be loaded again.
    if (const std::vector<std::string> bad = konfig_.invalidNames(); !bad.empty()) {
        std::string list;
        for (const std::string& b : bad)
            list += (list.empty() ? "" : ", ") + b;
        ui_.messageBox(text("infoDataSetInvalid",
                            "Nicht gesichert: ungültige Eingabe in %1. Bitte korrigieren.", {list}),
                       kCaption, MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    Pairs configPairs, lookupPairs;
    if (config) {
        const DateTime now = localDateTime(clock_.nowMs());
        configPairs = {{"Date", formatShortDate(now)},
                       {"Time", formatLongTime(now)},
                       {"UnitType", konfig_.value("TypeCode0") + ";" + konfig_.value("TypeCode2")},
                       {"GetKeloVer", "4.0"}};
        for (const ConfigKey& k : kConfigKeys)
            configPairs.emplace_back(k.key, konfig_.value(k.field));
    }
    const bool pidsRead = !pidSets || savePidSets(configPairs);
    if (lookup) {
        const int slot = konfig_.lutChoice();
        const std::string suffix = slot >= 0 ? "_" + std::to_string(slot) : "";
        for (const char* key : kLookupKeys)
            lookupPairs.emplace_back(key + suffix, konfig_.slotValue(key));
        std::string values;
        for (const std::string& v : konfig_.table())
            values += (values.empty() ? "" : ";") + v;
        lookupPairs.emplace_back("FlowValues" + suffix, values);
    }

    std::string error;
    if (makeFolders(folderOfPath(path), &error)) {
        IniFile file(path);
        {
            IniFile::Batch batch(file);
            for (const auto& [k, v] : configPairs)
                file.writeString(kConfig, k, v);
            for (const auto& [k, v] : lookupPairs)
                file.writeString(kConfigLookup, k, v);
        }
        error = file.lastError();
    }
    if (!error.empty()) {
        ui_.messageBox(text("infoDataSetWriteError",
                            "Der Datensatz konnte nicht in \"%1\" geschrieben werden (%2).",
                            {path, error}),
                       kCaption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    (void)pidsRead; // the operator has been told which sets are missing
    return true;
}

bool Daten::savePidSets(Pairs& pairs) {
    TTesra* t = konfig_.connection();
    const std::string version = konfig_.value("SWVer");
    const std::string modus = t ? t->ReadValue(reg::kControlMode) : "Fehler";
    const std::string active = t ? t->ReadValue(reg::kPidSetOld) : "Fehler";
    std::vector<std::string> missing;
    if (absent(modus) || absent(active) || pidGeneration(version) == PidGeneration::None) {
        missing.push_back("Modus/Set");
    } else {
        pairs.emplace_back("Modus", modus);
        pairs.emplace_back("Set", active);
        for (int i = 0; i < kPidSetCount; ++i) {
            PidValues values{};
            const std::string k = std::to_string(i);
            // The device shows the set chosen in 0x0035 a moment after the choice.
            const bool ok = t->WriteValue(reg::kPidSetOld, k, kWriteAddressed) == kResultOk &&
                            (clock_.sleepMs(100), ReadPID(*t, version, values));
            if (!ok) {
                missing.push_back(k);
                continue;
            }
            for (const char* c = kPidSaveOrder; *c; ++c)
                pairs.emplace_back(std::string(1, *c) + k, formatGeneral(values[pidIndex(*c)], 7));
        }
        t->WriteValue(reg::kPidSetOld, active, kWriteAddressed);
    }
    if (missing.empty()) return true;
    std::string list;
    for (const std::string& m : missing)
        list += (list.empty() ? "" : ", ") + m;
    ui_.messageBox(text("infoDataSetPidRead",
                        "Die PID-Sätze %1 konnten nicht gelesen werden; sie fehlen im Datensatz.",
                        {list}),
                   kCaption, MsgIcon::Warning, MsgButtons::Ok);
    return false;
}

// ------------------------------------------------------------------ load

bool Daten::LoadDataSet(const std::string& path, const std::string& lookupSection) {
    if (!std::ifstream(path, std::ios::binary)) {
        ui_.messageBox(text("infoDataSetMissing", "Daten nicht gefunden...") + "\n" + path,
                       kCaption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    IniFile file(path);
    auto damaged = [&](const std::string& section, const std::string& key,
                       const std::string& value) {
        ui_.messageBox(text("infoDataSetDamaged",
                            "Der Datensatz [%1] in \"%2\" ist beschädigt: %3 = \"%4\" passt "
                            "nicht. Es wurde nichts geladen.",
                            {section, path, key, value}),
                       kCaption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    };
    std::vector<std::pair<std::string, std::string>> fields, slotFields;
    std::vector<std::string> table;
    std::vector<std::pair<int, std::vector<double>>> pidValues;
    std::string modus, active;
    std::string checked;

    if (config && file.sectionExists(kConfig)) {
        for (const ConfigKey& k : kConfigKeys) {
            const std::string v = file.readString(kConfig, k.key);
            if (k.saveOnly || absent(v)) continue;
            if (!checkFieldText(findKonfig2Field(k.field)->kind(), v, checked))
                return damaged(kConfig, k.key, v);
            fields.emplace_back(k.field, v);
        }
        const std::string unitType = file.readString(kConfig, "UnitType");
        if (!absent(unitType)) {
            const std::vector<std::string> parts = split(unitType);
            if (parts.size() > 2) return damaged(kConfig, "UnitType", unitType);
            for (size_t i = 0; i < parts.size(); ++i) {
                if (!checkFieldText(FieldKind::Text, parts[i], checked))
                    return damaged(kConfig, "UnitType", unitType);
                fields.emplace_back(i == 0 ? "TypeCode0" : "TypeCode2", parts[i]);
            }
        }
    }
    if (pidSets && file.sectionExists(kConfig)) {
        modus = file.readString(kConfig, "Modus");
        active = file.readString(kConfig, "Set");
        long long n;
        if (!absent(modus) && (!parseInteger(modus, n) || n < 0 || n > 65535))
            return damaged(kConfig, "Modus", modus);
        if (!absent(active) && (!parseInteger(active, n) || n < 0 || n >= kPidSetCount))
            return damaged(kConfig, "Set", active);
        for (int i = 0; i < kPidSetCount; ++i) {
            std::vector<double> set(kPidParams);
            int present = 0;
            std::string firstMissing;
            for (int p = 0; p < kPidParams; ++p) {
                const std::string key = kPidKeys[p] + std::to_string(i);
                const std::string v = file.readString(kConfig, key);
                if (absent(v)) {
                    if (firstMissing.empty()) firstMissing = key;
                    continue;
                }
                if (!finiteNumber(v, set[p]) || set[p] < 0) return damaged(kConfig, key, v);
                ++present;
            }
            // Half a set would mix the device's values with the file's.
            if (present > 0 && present < kPidParams) return damaged(kConfig, firstMissing, "");
            if (present == kPidParams) pidValues.emplace_back(i, set);
        }
    }
    if (lookup && file.sectionExists(lookupSection)) {
        const int slot = konfig_.lutChoice();
        const std::string suffix =
            strcasecmp(lookupSection.c_str(), kConfigLookup) == 0 && slot >= 0
                ? "_" + std::to_string(slot)
                : "";
        for (const char* key : kLookupKeys) {
            const std::string v = file.readString(lookupSection, key + suffix);
            if (absent(v)) continue;
            if (!checkFieldText(slotKeyKind(key), v, checked))
                return damaged(lookupSection, key + suffix, v);
            slotFields.emplace_back(key, v);
        }
        const std::string values = file.readString(lookupSection, "FlowValues" + suffix);
        if (!absent(values)) {
            table = split(values);
            double v;
            if (static_cast<int>(table.size()) != 129)
                return damaged(lookupSection, "FlowValues" + suffix,
                               std::to_string(table.size()) + " / 129");
            for (size_t i = 0; i < table.size(); ++i)
                if (!finiteNumber(table[i], v))
                    return damaged(lookupSection,
                                   "FlowValues" + suffix + "[" + std::to_string(i + 1) + "]",
                                   table[i]);
        }
    }

    for (const auto& [field, v] : fields)
        konfig_.setValue(field, v);
    for (const auto& [key, v] : slotFields)
        konfig_.setSlotValue(key, v);
    if (!table.empty()) konfig_.setTableTexts(table);
    if (pidValues.empty()) return true;
    return writePidSets(pidValues, modus, active);
}

bool Daten::writePidSets(const std::vector<std::pair<int, std::vector<double>>>& sets,
                         const std::string& modus, const std::string& active) {
    TTesra* t = konfig_.connection();
    const std::string version = konfig_.value("SWVer");
    auto refused = [&](const std::string& what) {
        ui_.messageBox(text("infoDataSetPidWrite",
                            "Das Gerät hat %1 nicht angenommen; die PID-Sätze sind nur zum Teil "
                            "geschrieben.",
                            {what}),
                       kCaption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    };
    if (!t || pidGeneration(version) == PidGeneration::None) return refused("PID");
    for (const auto& [i, values] : sets) {
        PidValues pid{};
        for (int p = 0; p < kPidParams; ++p)
            pid[p] = values[p];
        if (t->WriteValue(reg::kPidSetOld, std::to_string(i), kWriteAddressed) != kResultOk)
            return refused("Set " + std::to_string(i));
        clock_.sleepMs(100);
        if (!WritePID(*t, version, pid)) return refused("PID " + std::to_string(i));
    }
    if (!absent(modus) && t->WriteValue(reg::kControlMode, modus, kWriteAddressed) != kResultOk)
        return refused("Modus");
    if (!absent(active) && t->WriteValue(reg::kPidSetOld, active, kWriteAddressed) != kResultOk)
        return refused("Set");
    return true;
}

// ------------------------------------------------------------------ table transfer

bool Daten::slotChosen() {
    if (konfig_.lutChoice() >= 0 && konfig_.connection()) return true;
    ui_.messageBox(text("infoKonfigNoSlot", "Zuerst eine Tabelle (LuT) wählen."), kCaption,
                   MsgIcon::Warning, MsgButtons::Ok);
    return false;
}

bool Daten::LesenClick() {
    if (!slotChosen()) return false;
    LookupTable values{};
    if (konfig_.connection()->ReadLookupTable(konfig_.lutChoice(), values, ui_) != 0) {
        ui_.progressFinish("Fehler beim EEPROM lesen!");
        ui_.messageBox("Fehler beim EEPROM lesen!", kCaption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    konfig_.setTableFromDevice(values);
    schreibenEnabled_ = true;
    return true;
}

bool Daten::SchreibenClick() {
    if (!slotChosen()) return false;
    LookupTable values{};
    int bad = 0;
    if (!konfig_.tableValues(values, &bad)) {
        const std::string cell =
            bad < static_cast<int>(konfig_.table().size()) ? konfig_.table()[bad] : "";
        ui_.messageBox(text("infoDataSetTableInvalid",
                            "Nichts geschrieben: Tabellenwert %1 (\"%2\") ist keine Zahl.",
                            {std::to_string(bad + 1), cell}),
                       kCaption, MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    TTesra& t = *konfig_.connection();
    // The slot's registers are protected.
    t.WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
    if (t.WriteLookupTable(konfig_.lutChoice(), values, ui_) != 0) {
        ui_.progressFinish("Fehler beim EEPROM schreiben!");
        ui_.messageBox("Fehler beim EEPROM schreiben!", kCaption, MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    konfig_.markTableStored();
    return true;
}

} // namespace getkelo
