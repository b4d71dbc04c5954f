#include "calib/lut_adjustment.h"

#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "base/number_format.h"
#include "calib/calib_data_files.h"
#include "calib/calib_registers.h"
#include "calib/calib_texts.h"
#include "calib/list_helpers.h"
#include "calib/section_names.h"
#include "comm/lookup_table_slot.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "ui/ui_adapter.h"

namespace getkelo {
namespace {

constexpr const char* kCaption = "Justierung";
constexpr int kSlots = 5;

RegisterDescriptor identOf(int slot) {
    return findLutParameter("LookupIdent")->inSlot(slot);
}

} // namespace

LutAdjustment::LutAdjustment(TTesra& tesra, UiAdapter& ui, const TextSource& texts,
                             CalibDataFiles& files)
    : tesra_(tesra), ui_(ui), texts_(texts), files_(files) {}

std::string LutAdjustment::text(const char* key, const char* fallback,
                                const std::vector<std::string>& args) const {
    return calibText(texts_, key, fallback, args);
}

void LutAdjustment::tell(const std::string& message, bool error) {
    ui_.messageBox(message, kCaption, error ? MsgIcon::Error : MsgIcon::Information,
                   MsgButtons::Ok);
}

bool LutAdjustment::readIdentity(int slot, uint32_t& ident) {
    long long v = 0;
    if (!parseInteger(tesra_.ReadValue(identOf(slot)), v) || v < 0 || v > 0xFFFFFFFFLL)
        return false;
    ident = static_cast<uint32_t>(v);
    return true;
}

std::string LutAdjustment::activeIdentity() {
    uint32_t ident = 0;
    return readIdentity(0, ident) ? std::to_string(ident) : std::string();
}

int LutAdjustment::slotHolding(uint32_t ident) {
    for (int k = kSlots - 1; k > 0; --k) {
        uint32_t v = 0;
        if (readIdentity(k, v) && v == ident) return k;
    }
    return 0; // slot 0 holds the active table itself
}

std::string LutAdjustment::savedSection(const std::string& file, uint32_t ident) const {
    // Every LOOKUP section counts, also past a gap in the numbering.
    const IniFile f(file);
    for (const std::string& s : f.sectionNames()) {
        if (s.rfind("LOOKUP", 0) != 0) continue;
        long long v = 0;
        if (parseInteger(f.readString(s, "LookupIdent"), v) && v == ident) return s;
    }
    return "";
}

LutAdjustmentResult LutAdjustment::LookupBtnClick(const LutAdjustmentRequest& rq) {
    LutAdjustmentResult out;
    uint32_t active = 0;
    if (!readIdentity(0, active)) {
        tell(text("infoKalIdentUnread",
                  "Die Kennung der aktiven Tabelle konnte nicht gelesen werden. Am Gerät "
                  "wurde nichts geändert."));
        return out;
    }
    const int k = slotHolding(active);

    // The table that is replaced must be in the file before anything is written.
    out.backupSection = savedSection(rq.file, active);
    if (out.backupSection.empty()) out.backupSection = files_.ReadLutToSection(rq.file, k, 0);
    if (out.backupSection.empty()) return out; // the operator has been told

    const IniFile data(rq.file);
    LutCorrectionInput in;
    if (data.valueExists(rq.dataSection, "FlowRef") &&
        data.valueExists(rq.dataSection, "FlowDevice")) {
        in.flowRef = ParseFloatList(data.readString(rq.dataSection, "FlowRef"));
        in.flowDevice = ParseFloatList(data.readString(rq.dataSection, "FlowDevice"));
    }
    in.endStep = rq.endStep;
    in.start = rq.start;
    in.stop = rq.stop;
    double tableFlow = 0;
    if (!parseNumber(tesra_.ReadValue(calreg::kTableFlow), tableFlow) || !(tableFlow > 0)) {
        tell(text("infoKalTableFlow",
                  "Der Bezugsfluss der Tabelle (0x4080) ist nicht lesbar. Am Gerät wurde "
                  "nichts geändert."));
        return out;
    }
    in.tableFlow = tableFlow;
    LookupTable device{};
    if (tesra_.ReadLookupTable(0, device, ui_) != 0) {
        ui_.progressFinish("");
        tell(text("infoKalTableUnread",
                  "Die aktive Tabelle konnte nicht gelesen werden. Am Gerät wurde nichts "
                  "geändert."));
        return out;
    }
    for (int i = 0; i < kLutEntries; ++i)
        in.table[i] = device[i];
    out.before = in.table;
    out.correction = correctLookupTable(in);

    tesra_.WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
    LookupTable corrected{};
    for (int i = 0; i < kLutEntries; ++i)
        corrected[i] = static_cast<float>(out.correction.table[i]);
    if (tesra_.WriteLookupTable(0, corrected, ui_) != 0) {
        const bool restored = tesra_.WriteLookupTable(0, device, ui_) == 0;
        ui_.progressFinish("");
        tell(restored ? text("infoKalTableRestored",
                             "Die neue Tabelle konnte nicht geschrieben werden. Platz 0 hat "
                             "wieder die bisherige Tabelle (gesichert in %1).",
                             {out.backupSection})
                      : text("infoKalTableBroken",
                             "Die neue Tabelle konnte nicht geschrieben werden, die bisherige "
                             "auch nicht zurück: Platz 0 ist unvollständig. Die bisherige "
                             "Tabelle steht in %1 der Datei \"%2\", Platz %3 ist unverändert.",
                             {out.backupSection, rq.file, std::to_string(k)}));
        return out;
    }
    const DateTime now = localDateTime(tesra_.comm().clock().nowMs());
    out.identity = lutIdentity(now);
    if (tesra_.WriteValue(identOf(0), std::to_string(out.identity), kWriteAddressed) != 0 ||
        tesra_.WriteValue(calreg::kLutInfo, calreg::kComputedLutInfo, kWriteAddressed) != 0) {
        tell(text("infoKalIdentWrite",
                  "Platz 0 hat die neue Tabelle, ihre Kennung wurde nicht geschrieben. Die "
                  "bisherige Tabelle steht in %1.",
                  {out.backupSection}));
        return out;
    }
    out.newSection = files_.ReadLutToSection(rq.file, 0, active);
    if (out.newSection.empty()) return out; // told; the new table is in slot 0
    if (files_.WriteSectionToDevice(rq.file, out.newSection, k, tesra_.Address) !=
            CalibDataFiles::SectionWrite::Written ||
        tesra_.WriteValue(reg::kLutSelect, std::to_string(k), kWriteAddressed) != 0) {
        tell(text("infoKalSlotWrite",
                  "Die neue Tabelle steht in Platz 0 und in %1, Platz %2 konnte sie nicht "
                  "aufnehmen. Die bisherige Tabelle steht in %3.",
                  {out.newSection, std::to_string(k), out.backupSection}));
        return out;
    }
    out.slot = k;
    out.written = true;
    tell("Justierter Datensatz gespeichert!", false);
    return out;
}

} // namespace getkelo
