#include "config/setup_export.h"

#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "base/make_folders.h"
#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "comm/value_codec.h"
#include "config/setup_layout.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

namespace getkelo {
namespace {

constexpr const char* kFailed = "Fehler";

// Puts the values of one read (a group or a single value) into the section.
class SectionReader {
  public:
    SectionReader(TTesra& t, DeviceSetup& setup, SetupSection& section)
        : t_(t), setup_(setup), section_(section) {}

    void read(const SetupRead& r, bool selected) {
        if (!selected) {
            for (const SetupKey& k : r.keys)
                fail(k.key);
            return;
        }
        if (r.count == 0) {
            const SetupKey& k = r.keys.front();
            const std::string v = t_.ReadValue(k.descriptor());
            if (v == kFailed) ++setup_.failedReads;
            section_.values.emplace_back(k.key, v);
            return;
        }
        group(r.start, r.count, r.keys, "");
    }

    void group(uint16_t start, uint8_t count, const std::vector<SetupKey>& keys,
               const std::string& suffix) {
        uint8_t answer[kFrameBufferSize];
        if (t_.ReadRegisters(answer, start, count) != kResultOk) {
            for (const SetupKey& k : keys)
                fail(k.key + suffix);
            return;
        }
        for (const SetupKey& k : keys)
            section_.values.emplace_back(k.key + suffix,
                                         ValueToText(answer + 3 + 2 * (k.reg - start), k.type));
    }

    void fail(const std::string& key) {
        ++setup_.failedReads;
        section_.values.emplace_back(key, kFailed);
    }

  private:
    TTesra& t_;
    DeviceSetup& setup_;
    SetupSection& section_;
};

// Leaves both selectors at 0 however the export ends: the PID set first, then the slot.
struct SelectorReset {
    TTesra& t;
    ~SelectorReset() {
        t.WriteValue(reg::kPidSetSelector, "0", kWriteAddressed);
        t.WriteValue(reg::kSlotSelector, "0", kWriteAddressed);
    }
};

} // namespace

SetupExport::SetupExport(TTesra& tesra, UiAdapter& ui, const TextSource& texts)
    : tesra_(tesra), ui_(ui), texts_(texts) {}

DeviceSetup SetupExport::read(const std::string& caption, const std::string& label) {
    DeviceSetup setup;
    long long count = 0;
    if (!parseInteger(tesra_.ReadValue(kSetupLutCount), count) || count < 0) count = 0;
    ui_.progressStart(caption, label, kSetupKeyCount);
    SelectorReset reset{tesra_};

    for (int slot = 1; slot <= count; ++slot) {
        tesra_.WriteValue(reg::kSlotSelector, std::to_string(slot), kWriteAddressed);
        // An identity that cannot be read counts as used: better a section of "Fehler" than
        // a slot left out unseen.
        if (tesra_.ReadValue(kSetupLookupIdent) != "0") setup.usedSlots.push_back(slot);
    }
    tesra_.WriteValue(reg::kSlotSelector, "0", kWriteAddressed);
    const int usedCount = static_cast<int>(setup.usedSlots.size());
    ui_.progressMaximum(kSetupKeyCount + kSetupLutKeyCount * usedCount);

    int position = 0;
    auto advance = [&](const SetupSection& s, size_t before) {
        position += static_cast<int>(s.values.size() - before);
        ui_.progressPosition(position);
    };
    setup.sections.push_back({"SETUP", {}});
    {
        SetupSection& s = setup.sections.back();
        const DateTime now = localDateTime(tesra_.comm().clock().nowMs());
        s.values.emplace_back("Date", formatShortDate(now));
        s.values.emplace_back("Time", formatLongTime(now));
        advance(s, 0);
        SectionReader reader(tesra_, setup, s);
        for (const SetupRead& r : setupReads()) {
            const size_t before = s.values.size();
            reader.read(r, true);
            advance(s, before);
        }
    }
    for (int slot : setup.usedSlots) {
        setup.sections.push_back({"SETUP_LUT_" + std::to_string(slot), {}});
        SetupSection& s = setup.sections.back();
        SectionReader reader(tesra_, setup, s);
        // Without the slot chosen the registers show another slot's values.
        const bool chosen = tesra_.WriteValue(reg::kSlotSelector, std::to_string(slot),
                                              kWriteAddressed) == kResultOk;
        for (const SetupRead& r : setupLutReads()) {
            const size_t before = s.values.size();
            reader.read(r, chosen);
            advance(s, before);
        }
        for (int set = 0; set < kSetupPidSets; ++set) {
            const size_t before = s.values.size();
            const std::string k = std::to_string(set);
            const bool setChosen =
                chosen && tesra_.WriteValue(reg::kPidSetSelector, k, kWriteAddressed) == kResultOk;
            if (setChosen) {
                reader.group(kSetupPidStart, kSetupPidCount, setupPidKeys(), k);
            } else {
                for (const SetupKey& key : setupPidKeys())
                    reader.fail(key.key + k);
            }
            advance(s, before);
        }
    }
    return setup;
}

bool SetupExport::WriteSetupFile(const std::string& path, const std::string& label,
                                 const std::string& caption, const std::string& endText,
                                 DeviceSetup* out) {
    DeviceSetup setup = read(caption, label);
    std::string error;
    const bool stored = storeSetup(setup, path, error);
    ui_.beep();
    if (!stored) {
        ui_.progressFinish("");
        ui_.messageBox(textWithArgs(texts_, "infoSetupWriteError",
                                    "Die Konfiguration konnte nicht in \"%1\" geschrieben "
                                    "werden (%2).",
                                    {path, error}),
                       caption, MsgIcon::Error, MsgButtons::Ok);
    } else {
        ui_.progressFinish(endText);
        if (setup.failedReads > 0)
            ui_.messageBox(textWithArgs(texts_, "infoSetupReadErrors",
                                        "%1 Werte konnten nicht gelesen werden; sie stehen als "
                                        "\"Fehler\" in \"%2\".",
                                        {std::to_string(setup.failedReads), path}),
                           caption, MsgIcon::Warning, MsgButtons::Ok);
    }
    if (out) *out = std::move(setup);
    return stored;
}

bool storeSetup(const DeviceSetup& setup, const std::string& path, std::string& error) {
    if (!makeFolders(folderOfPath(path), &error)) return false;
    IniFile file(path);
    {
        IniFile::Batch batch(file);
        for (const SetupSection& s : setup.sections)
            for (const auto& [key, value] : s.values)
                file.writeString(s.name, key, value);
    }
    error = file.lastError();
    return error.empty();
}

} // namespace getkelo
