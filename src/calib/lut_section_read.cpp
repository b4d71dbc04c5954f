// ReadLutToSection: a device's lookup-table slot into a new LOOKUP section.
#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "calib/calib_data_files.h"
#include "calib/list_helpers.h"
#include "calib/section_names.h"
#include "comm/lookup_table_slot.h"
#include "comm/ttesra.h"
#include "ui/ui_adapter.h"

namespace getkelo {

std::string CalibDataFiles::ReadLutToSection(const std::string& filePath, int slot,
                                             uint32_t sourceIdent) {
    const int s = lutEffectiveSlot(slot);
    const std::vector<LutParameter>& params = lutParameters();
    ui_.progressStart("EEPROM", "Lese Parameter...", static_cast<int>(params.size()));
    auto fail = [&](const std::string& what) {
        tellFailure("Fehler beim EEPROM lesen!",
                    message("infoLutReadError",
                            "Die Tabelle %1 konnte nicht gelesen werden (%2). Die Datei \"%3\" "
                            "ist unverändert.",
                            {std::to_string(slot), what, filePath}));
        return std::string();
    };
    if (s < 0) return fail("Platz " + std::to_string(slot));

    const DateTime now = localDateTime(tesra_.comm().clock().nowMs());
    std::vector<std::pair<std::string, std::string>> pairs = {{"Date", formatShortDate(now)},
                                                              {"Time", formatLongTime(now)}};
    if (sourceIdent != 0)
        pairs.emplace_back("DataSource", "LookupIdent " + std::to_string(sourceIdent));
    for (size_t i = 0; i < params.size(); ++i) {
        std::string value = tesra_.ReadValue(params[i].inSlot(s));
        // A section with a failed read in it would later be written into a device.
        if (value == "Fehler") return fail(params[i].key);
        pairs.emplace_back(params[i].key, value);
        ui_.progressPosition(static_cast<int>(i + 1));
    }
    LookupTable table{};
    if (tesra_.ReadLookupTable(s, table, ui_) != 0) return fail("FlowValues");
    std::string values;
    for (float v : table)
        AppendFormatted(values, "0.######", v);
    pairs.emplace_back("FlowValues", values);

    IniFile file(filePath);
    const std::string section = nextSectionName(file, "LOOKUP");
    const uint32_t serial = deviceSerial();
    if (!writeSection(file, section, pairs, &serial)) return "";
    ui_.progressFinish("Lesen abgeschlossen!");
    ui_.beep();
    return section;
}

} // namespace getkelo
