#include "config/t4lookup/t4_lookup.h"

#include "base/clock.h"
#include "base/ini_file.h"
#include "calib/list_helpers.h"
#include "comm/lookup_table_slot.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "comm/value_codec.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace getkelo {

namespace {

struct SlotParameter {
    const char* key;
    uint16_t reg;
    uint8_t type;
};

// The slot parameters an upload writes, in this order. "OffsetKomp_*" is the data file's
// spelling of the setup file's "OffsetComp_*".
constexpr std::array<SlotParameter, kSlotParameterCount> kSlotParameters = {{
    {"Gas", 0x6042, kTypeText8},           {"FlowUnit", 0x6046, kTypeText8},
    {"PressureIn", 0x6144, kTypeFloat},    {"kn_sccm", 0x6100, kTypeFloat},
    {"kn_Unit", 0x6102, kTypeFloat},       {"TempCalib", 0x6140, kTypeFloat},
    {"LookupInfo", 0x6002, kTypeUInt16},   {"LookupIdent", 0x6000, kTypeUInt32},
    {"Offset_k0", 0x6106, kTypeFloat},     {"Offset_k1", 0x6108, kTypeFloat},
    {"OffsetKomp_k0", 0x610A, kTypeFloat}, {"OffsetKomp_k1", 0x610C, kTypeFloat},
    {"Density", 0x604E, kTypeFloat},       {"RefTemp", 0x604C, kTypeFloat},
    {"RefPressure", 0x604A, kTypeFloat},   {"kn_Scale", 0x6104, kTypeFloat},
    {"Temp_k0", 0x6300, kTypeFloat},       {"Temp_k1", 0x6302, kTypeFloat},
    {"SensorId", 0x6010, kTypeUInt32},     {"Gain", 0x6120, kTypeUInt16},
    {"HeatPower", 0x6121, kTypeUInt16},    {"FlowRange", 0x6020, kTypeFloat},
    {"PressureOut", 0x6146, kTypeFloat},   {"TempOperate", 0x6142, kTypeFloat},
    {"CutOff", 0x6123, kTypeFloat},        {"Dynamic", 0x6122, kTypeUInt16},
    {"GasName", 0x6022, kTypeText50},
}};

uint8_t registersOf(uint8_t type) {
    switch (type) {
    case kTypeText8:
        return 4;
    case kTypeText50:
        return 25;
    case kTypeUInt16:
    case kTypeInt16:
        return 1;
    default:
        return 2;
    }
}

constexpr RegisterDescriptor kSlotRangeS4 = makeDescriptor(0x6020, 2, kTypeFloat);
constexpr RegisterDescriptor kLutCountS4 = makeDescriptor(0x5301, 1, kTypeUInt16);
constexpr const char* kEepromWriteError = "Fehler beim EEPROM schreiben!";

long long integerOf(const std::string& text) {
    return std::strtoll(text.c_str(), nullptr, 10);
}

std::string trim(const std::string& s) {
    size_t a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

bool containsLookup(const std::string& name) {
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper.find("LOOKUP") != std::string::npos;
}

} // namespace

std::string series4DataFilePath(const DataFileRoot& root, const std::string& serialText) {
    if (root.newStructure) return MakeDataFilePath(root, "tesra Typ04", serialText);
    if (serialText.empty() || !std::all_of(serialText.begin(), serialText.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        }))
        return "";
    return root.baseDir + serialText + "t04.dat";
}

void tickRequest(uint8_t address, uint16_t reg, const int16_t values[kTicksPerRequest],
                 uint8_t frame[19]) {
    frame[0] = address;
    frame[1] = 0x10;
    frame[2] = static_cast<uint8_t>(reg >> 8);
    frame[3] = static_cast<uint8_t>(reg);
    frame[4] = 0x00;
    frame[5] = kTicksPerRequest;
    frame[6] = 2 * kTicksPerRequest;
    for (int i = 0; i < kTicksPerRequest; ++i)
        TextToValue(frame + 7 + 2 * i, kTypeInt16, std::to_string(values[i]));
    // The filler bytes carry no meaning; the device takes them before the CRC.
    std::fill(frame + 15, frame + 19, uint8_t{0});
}

bool tickTables(const std::string& filePath, const std::string& section,
                std::array<std::array<int16_t, kTicksPerTable>, kTickTables>& tables,
                std::string& bad) {
    IniFile file(filePath);
    for (int t = 0; t < kTickTables; ++t) {
        const std::vector<long long> list =
            ParseIntList(file.readString(section, kTickListKeys[t], ""));
        tables[t].fill(0);
        for (size_t j = 0; j < list.size() && j < kTicksPerTable; ++j) {
            if (list[j] < -32768 || list[j] > 32767) {
                bad = kTickListKeys[t];
                return false;
            }
            tables[t][j] = static_cast<int16_t>(list[j]);
        }
    }
    return true;
}

T4Lookup::T4Lookup(TTesra& tesra, UiAdapter& ui, const TextSource& texts)
    : tesra_(tesra), ui_(ui), texts_(texts) {}

std::string T4Lookup::text(const char* key) const {
    return texts_.text(key);
}

void T4Lookup::sleepMs(int ms) {
    tesra_.comm().clock().sleepMs(ms);
}

void T4Lookup::readSlots() {
    const long long count = integerOf(tesra_.ReadValue(kLutCountS4));
    slots_.clear();
    for (long long s = 1; s <= count; ++s) {
        tesra_.WriteValue(reg::kSlotSelector, std::to_string(s), kWriteAddressed);
        const std::string ident = tesra_.ReadValue(reg::kLookupIdent);
        if (ident == "0") {
            slots_.push_back(std::to_string(s) + " " + text("infoNoCalib"));
            continue;
        }
        const std::string range = tesra_.ReadValue(kSlotRangeS4);
        const std::string unit = tesra_.ReadValue(reg::kSlotFlowUnit);
        const std::string gas = tesra_.ReadValue(reg::kSlotGas);
        slots_.push_back(std::to_string(s) + " " + range + " " + unit + " " + gas);
    }
    tesra_.WriteValue(reg::kSlotSelector, "0", kWriteAddressed);
    const long long active = integerOf(tesra_.ReadValue(reg::kLutSelect)) - 1;
    checked_ = active >= 0 && active < static_cast<long long>(slots_.size()) ? int(active) : -1;
}

void T4Lookup::readFile() {
    fileEntries_.clear();
    sections_.clear();
    if (path_.empty()) return;
    IniFile file(path_);
    for (const std::string& raw : file.sectionNames()) {
        if (!containsLookup(raw)) continue;
        // The name itself is kept apart from the entry text, so "LOOKUP5" and "LOOKUP123"
        // find their sections whatever their length.
        const std::string name = trim(raw);
        sections_.push_back(name);
        fileEntries_.push_back(name + "   " + file.readString(name, "Gas", "") + "   " +
                               file.readString(name, "FlowRange", "") + "   " +
                               file.readString(name, "FlowUnit", ""));
    }
}

void T4Lookup::FormActivate(const std::string& dataFilePath) {
    path_ = dataFilePath;
    readSlots();
    readFile();
}

void T4Lookup::clbCalibClick(int entry, bool checked) {
    if (checked)
        checked_ = entry;
    else if (checked_ == entry)
        checked_ = -1;
}

void T4Lookup::btnActivateLutClick(int entry) {
    if (entry < 0 || entry >= static_cast<int>(slots_.size())) return;
    // A refused write leaves the device's active slot checked, not the one asked for.
    if (tesra_.WriteValue(reg::kLutSelect, std::to_string(entry + 1), kWriteAddressed) == 0)
        checked_ = entry;
}

void T4Lookup::btnDeleteLutClick(int entry) {
    const MsgAnswer a = ui_.messageBox(text("infoDeleteLutLabel"), text("infoDeleteLutTitle"),
                                       MsgIcon::Question, MsgButtons::YesNo);
    if (a == MsgAnswer::Yes && entry >= 0 && entry < static_cast<int>(slots_.size())) {
        tesra_.WriteValue(reg::kSlotSelector, std::to_string(entry + 1), kWriteAddressed);
        tesra_.WriteValue(reg::kLookupIdent, "0", kWriteAddressed);
    }
    tesra_.WriteValue(reg::kSlotSelector, "0", kWriteAddressed);
    FormActivate(path_);
    ui_.beep();
}

int T4Lookup::btnUploadClick(int slotEntry, int fileEntry) {
    ui_.progressStart("Kalibrierungen", text("infoWritingParams"), kSlotParameterCount);
    if (slotEntry < 0 || slotEntry >= static_cast<int>(slots_.size()) || fileEntry < 0 ||
        fileEntry >= static_cast<int>(sections_.size())) {
        ui_.progressFinish("");
        return 1;
    }
    const std::string& section = sections_[fileEntry];
    std::array<std::array<int16_t, kTicksPerTable>, kTickTables> tables{};
    std::string bad;
    // Every value is checked before the first write, so a bad file leaves the slot alone.
    if (!tickTables(path_, section, tables, bad)) {
        ui_.progressFinish("");
        ui_.messageBox(text("infoTickValueError") + "\n" + section + ": " + bad, "Kalibrierungen",
                       MsgIcon::Warning, MsgButtons::Ok);
        return 1;
    }
    const int slot = slotEntry + 1;
    auto fail = [&] {
        tesra_.WriteValue(reg::kSlotSelector, "0", kWriteAddressed);
        ui_.progressFinish(kEepromWriteError);
        ui_.messageBox(text("infoLutUploadFailed") + " " + std::to_string(slot), "Kalibrierungen",
                       MsgIcon::Error, MsgButtons::Ok);
        return 2;
    };
    // Without the slot chosen the parameters would land in whatever slot was chosen before.
    if (tesra_.WriteValue(reg::kSlotSelector, std::to_string(slot), kWriteAddressed) != 0)
        return fail();
    tesra_.WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);

    IniFile file(path_);
    int position = 0;
    for (const SlotParameter& p : kSlotParameters) {
        tesra_.WriteValue(makeDescriptor(p.reg, registersOf(p.type), p.type),
                          file.readString(section, p.key, ""), kWriteAddressed);
        ui_.progressPosition(++position);
    }

    ui_.progressLabel(text("infoWritingLut") + " " + std::to_string(slot) + "...");
    ui_.progressPosition(0);
    ui_.progressMaximum(kTickRequests);
    position = 0;
    int failures = 0;
    for (int t = 0; t < kTickTables; ++t) {
        for (int j = 0; j < kTicksPerTable; j += kTicksPerRequest) {
            ui_.progressPosition(++position);
            uint8_t frame[kFrameBufferSize] = {};
            int failedInARow = 0;
            for (;;) {
                tickRequest(tesra_.Address, static_cast<uint16_t>(kTickTableBase[t] + j),
                            &tables[t][j], frame);
                sleepMs(100);
                if (tesra_.Transact(frame, 19, 8) == kResultOk) break;
                ++failures;
                // The device no longer takes the table: stop instead of asking forever.
                if (++failedInARow >= kTickRequestAttempts) return fail();
                if (failures >= 10) ui_.progressLabel(kEepromWriteError);
            }
        }
        sleepMs(200);
        if (integerOf(tesra_.ReadValue(kEepromModeRegister)) == 0) {
            tesra_.WriteValue(kStoreCommandRegister, "0", kWriteAddressed);
            sleepMs(1000);
        }
    }
    ui_.beep();
    ui_.progressFinish(text("infoWritingDone"));
    tesra_.WriteValue(reg::kSlotSelector, "0", kWriteAddressed);
    return 0;
}

} // namespace getkelo
