// WriteSectionToDevice: a LOOKUP section into a device, checked whole before the first write.
#include "base/cp1252.h"
#include "base/ini_file.h"
#include "base/number_format.h"
#include "calib/calib_data_files.h"
#include "calib/data_file_path.h"
#include "calib/list_helpers.h"
#include "comm/lookup_table_slot.h"
#include "comm/register_catalogue.h"
#include "comm/service_image.h"
#include "comm/ttesra.h"
#include "ui/ui_adapter.h"

#include <cfloat>
#include <cmath>
#include <strings.h>

namespace getkelo {
namespace {

struct ParameterWrite {
    const char* key;
    RegisterDescriptor descriptor;
    std::string text;
};

// A number a float register can hold; "1e999" and "NaN" are not.
bool finiteFloat(const std::string& text, double& v) {
    return parseNumber(text, v) && std::fabs(v) <= FLT_MAX;
}

// A value missing from the section leaves the device's own.
bool absent(const std::string& text) {
    return text.empty() || text == "Fehler";
}

// The text written for one parameter, or a reason why it cannot be written.
bool parameterText(const LutParameter& p, const std::string& raw, std::string& out) {
    if (p.type == kTypeText8) {
        out = raw;
        return utf8ToCp1252(raw).size() <= 7;
    }
    if (p.type == kTypeFloat) {
        double v;
        if (finiteFloat(raw, v)) {
            out = formatGeneral(v, 9); // nine digits bring every float back exactly
            return true;
        }
        // What the device itself reports for an empty slot goes back as it came.
        for (const char* mark : {"NaN", "-NaN", "INF", "-INF"})
            if (strcasecmp(raw.c_str(), mark) == 0) {
                out = mark;
                return true;
            }
        return false;
    }
    long long v;
    const long long low = p.type == kTypeInt16 ? -32768 : 0;
    const long long high = p.type == kTypeInt16    ? 32767
                           : p.type == kTypeUInt16 ? 65535
                                                   : 4294967295LL;
    if (!parseInteger(raw, v) || v < low || v > high) return false;
    out = std::to_string(v);
    return true;
}

std::string shown(const std::string& key, const std::string& value) {
    return key + " = \"" + value + "\"";
}

} // namespace

CalibDataFiles::SectionWrite CalibDataFiles::WriteSectionToDevice(const std::string& filePath,
                                                                  const std::string& section,
                                                                  int slot, int busAddress) {
    // "-1" marks a data set that must never reach a device.
    if (section.find("-1") != std::string::npos) return SectionWrite::NotApplicable;
    const std::string generation = dataFileGeneration(filePath);
    if (generation.empty()) return SectionWrite::NotApplicable;
    IniFile file(filePath);
    if (!file.sectionExists(section)) {
        ui_.messageBox(
            message("infoSectionMissing", "Datensatz %1 fehlt in \"%2\".", {section, filePath}),
            "Kalibrationsdaten", MsgIcon::Error, MsgButtons::Ok);
        return SectionWrite::Refused;
    }
    return generation == "v02" ? writeImageSection(file, section)
                               : writeSlotSection(file, section, slot, busAddress);
}

CalibDataFiles::SectionWrite CalibDataFiles::writeSlotSection(IniFile& file,
                                                              const std::string& section, int slot,
                                                              int busAddress) {
    auto refuse = [&](const std::string& why) {
        ui_.messageBox(message("infoSectionRefused",
                               "Datensatz %1 aus \"%2\" wird nicht übertragen: %3",
                               {section, file.path(), why}),
                       "Kalibrationsdaten", MsgIcon::Error, MsgButtons::Ok);
        return SectionWrite::Refused;
    };
    const int s = lutEffectiveSlot(slot);
    if (s < 0) return refuse("LuT " + std::to_string(slot));
    if (busAddress < 1 || busAddress > 247) return refuse("Modbus " + std::to_string(busAddress));

    // Everything is checked before the first byte goes to the device.
    const std::vector<std::string> items = ListItems(file.readString(section, "FlowValues"));
    if (items.size() != kLutValueCount)
        return refuse("FlowValues: " + std::to_string(items.size()) + " / 129");
    LookupTable table{};
    for (size_t i = 0; i < items.size(); ++i) {
        double v;
        if (!finiteFloat(items[i], v))
            return refuse(shown("FlowValues[" + std::to_string(i + 1) + "]", items[i]));
        table[i] = static_cast<float>(v);
    }
    std::vector<ParameterWrite> writes;
    for (const LutParameter& p : lutParameters()) {
        const std::string raw = file.readString(section, p.key);
        if (absent(raw)) continue;
        std::string text;
        if (!parameterText(p, raw, text)) return refuse(shown(p.key, raw));
        writes.push_back({p.key, p.inSlot(s), text});
    }

    tesra_.Address = static_cast<uint8_t>(busAddress);
    auto fail = [&](const std::string& what, bool windowOpen = true) {
        tellFailure(windowOpen ? "Fehler beim EEPROM schreiben!" : "",
                    message("infoLutWriteError",
                            "Das Gerät an Adresse %1 hat %2 nicht angenommen; Platz %3 ist "
                            "unvollständig. Die Datei \"%4\" ist unverändert.",
                            {std::to_string(busAddress), what, std::to_string(s), file.path()}));
        return SectionWrite::Failed;
    };
    // The slot registers are protected.
    if (tesra_.WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed) != 0)
        return fail("0x002B", false);
    if (tesra_.WriteLookupTable(s, table, ui_) != 0) return fail("FlowValues");
    ui_.progressStart("EEPROM", "Schreibe Parameter...", static_cast<int>(writes.size()) + 1);
    for (size_t i = 0; i < writes.size(); ++i) {
        if (tesra_.WriteValue(writes[i].descriptor, writes[i].text, kWriteAddressed) != 0)
            return fail(writes[i].key);
        ui_.progressPosition(static_cast<int>(i + 1));
    }
    if (tesra_.WriteValue(reg::kLutSelect, std::to_string(s), kWriteAddressed) != 0)
        return fail("LutSelect");
    ui_.progressFinish("Schreiben abgeschlossen!");
    ui_.beep();
    // Written back unchanged so the device takes up the new table; never a failed read.
    const std::string keep = tesra_.ReadValue(reg::kConfigKeep);
    if (keep != "Fehler") tesra_.WriteValue(reg::kConfigKeep, keep, kWriteAddressed);
    return SectionWrite::Written;
}

CalibDataFiles::SectionWrite CalibDataFiles::writeImageSection(IniFile& file,
                                                               const std::string& section) {
    auto refuse = [&](const std::string& why) {
        ui_.messageBox(message("infoSectionRefused",
                               "Datensatz %1 aus \"%2\" wird nicht übertragen: %3",
                               {section, file.path(), why}),
                       "Kalibrationsdaten", MsgIcon::Error, MsgButtons::Ok);
        return SectionWrite::Refused;
    };
    // Checked on a scratch image first; keys the section lacks keep the device's values.
    std::vector<uint8_t> scratch(kServiceImageBufferSize);
    std::vector<std::pair<const ServiceImageField*, std::string>> fields;
    std::vector<std::pair<int, std::vector<long long>>> ticks;
    for (const ServiceImageField& f : serviceImageFields()) {
        const std::string raw = file.readString(section, f.key);
        if (absent(raw)) continue;
        if (!setImageField(scratch, f, raw)) return refuse(shown(f.key, raw));
        fields.emplace_back(&f, raw);
    }
    for (int list = 0; list < kFlowTickLists; ++list) {
        const std::string raw = file.readString(section, flowTicksKey(list));
        if (absent(raw)) continue;
        std::vector<long long> values;
        for (const std::string& item : ListItems(raw)) {
            long long v;
            if (!parseInteger(item, v) || v < -32768 || v > 32767)
                return refuse(shown(flowTicksKey(list), item));
            values.push_back(v);
        }
        if (!setImageFlowTicks(scratch, list, values))
            return refuse(flowTicksKey(list) + ": " + std::to_string(values.size()) + " / 256");
        ticks.emplace_back(list, std::move(values));
    }

    std::vector<uint8_t> image(kServiceImageBufferSize);
    if (tesra_.ReadServiceImage(image, ui_) != 0) {
        tellFailure("Fehler beim EEPROM lesen!",
                    message("infoImageReadError",
                            "Das EEPROM des Geräts konnte nicht gelesen werden; es wurde nichts "
                            "geschrieben."));
        return SectionWrite::Failed;
    }
    for (const auto& [f, raw] : fields)
        setImageField(image, *f, raw);
    for (const auto& [list, values] : ticks)
        setImageFlowTicks(image, list, values);
    if (tesra_.WriteServiceImage(image, ui_) != 0) {
        tellFailure("Fehler beim EEPROM schreiben!",
                    message("infoImageWriteError",
                            "Das Gerät hat das EEPROM-Abbild nicht bestätigt. Die Datei \"%1\" ist "
                            "unverändert.",
                            {file.path()}));
        return SectionWrite::Failed;
    }
    flowScale_ = imageFlowScale(image);
    return SectionWrite::Written;
}

} // namespace getkelo
