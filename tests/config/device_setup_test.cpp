#include "base/date_time.h"
#include "base/ini_file.h"
#include "comm/lookup_table_slot.h"
#include "comm/register_catalogue.h"
#include "config/data_sets.h"
#include "config/device_setup.h"
#include "config/konfig2.h"
#include "console/text_source.h"
#include "graphs/pid_access.h"
#include "shell/daily_access_code.h"
#include "sim_link.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace getkelo {
namespace {

namespace fs = std::filesystem;
using sim::test::SimLink;

// The third-generation device 3 of the demo bus (slots 0 and 1 used) behind TKonfig2, TDaten
// and the setup entries.
struct OlderSetup : ::testing::Test {
    SimLink l;
    MapTextSource texts;
    Konfig2 konfig{l.ui, texts};
    Daten daten{konfig, l.ui, texts, l.demo.clock};
    DeviceSetupEntries entries{konfig, daten, l.ui, texts, l.demo.clock};
    fs::path dir = fs::temp_directory_path() / ("getkelo_older_" + std::to_string(getpid()));
    SetupPlaces places{dir.string(), dir.string(), false};
    std::string path = (dir / "23010003t03.dat").string();

    void SetUp() override {
        l.tesra->Address = 3;
        konfig.setConnection(l.tesra.get());
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string slotValue(int slot, const char* key) {
        return l.demo.read(3, findLutParameter(key)->inSlot(slot));
    }
    void todaysCode() {
        l.ui.inputAnswers.push_back(dailyAccessCode(localDateTime(l.demo.clock.nowMs())));
    }
    // Writes other than the access code.
    size_t deviceWrites() {
        size_t n = 0;
        for (const auto& w : l.writeRequests())
            if (!(w[2] == 0x00 && w[3] == 0x2B)) ++n;
        return n;
    }
};

TEST_F(OlderSetup, ExportAndImportRestoreTheConfiguration) {
    ASSERT_EQ(entries.ExportMnuClick(*l.tesra, "3.5.02", "23010003", places), path);
    ASSERT_EQ(l.ui.messages.size(), 1u);
    EXPECT_EQ(l.ui.messages[0].text, "Datei: " + path);
    IniFile file(path);
    EXPECT_EQ(file.readString("CONFIG", "Range"), "20");
    EXPECT_EQ(file.readString("CONFIG", "GetKeloVer"), "4.0");
    EXPECT_NE(file.readString("CONFIG", "N4"), "");
    // Only the used slots 0 and 1; the empty ones read "NaN" as range and are skipped.
    EXPECT_NE(file.readString("CONFIG_LOOKUP", "Gas_1"), "");
    EXPECT_EQ(file.readString("CONFIG_LOOKUP", "Gas_2"), "");
    EXPECT_EQ(file.readString("CONFIG_LOOKUP", "Gas"), "") << "no unsuffixed keys";

    const std::string gas1 = slotValue(1, "Gas"), kft0 = slotValue(0, "kFT");
    LookupTable table{};
    ASSERT_EQ(l.tesra->ReadLookupTable(0, table, l.ui), 0);
    l.demo.unlock(3);
    ASSERT_EQ(l.demo.write(3, reg::kRange, "77"), "ok");
    ASSERT_EQ(l.demo.write(3, findLutParameter("Gas")->inSlot(1), "He"), "ok");
    ASSERT_EQ(l.demo.write(3, findLutParameter("kFT")->inSlot(0), "0.5"), "ok");
    LookupTable changed = table;
    changed[64] += 10;
    ASSERT_EQ(l.tesra->WriteLookupTable(0, changed, l.ui), 0);

    todaysCode();
    ASSERT_TRUE(entries.ImportMnuClick(*l.tesra, "3.5.02", "23010003", places));
    EXPECT_EQ(l.tesra->ReadValue(reg::kRange), "20");
    EXPECT_EQ(slotValue(1, "Gas"), gas1);
    EXPECT_EQ(slotValue(0, "kFT"), kft0);
    LookupTable back{};
    ASSERT_EQ(l.tesra->ReadLookupTable(0, back, l.ui), 0);
    EXPECT_NEAR(back[64], table[64], 1e-5);
    EXPECT_EQ(l.ui.messageTexts().back(), "Datei: " + path);
}

// A slot whose range in the file reads "NAN" is empty there: the import leaves the device's
// slot alone.
TEST_F(OlderSetup, ImportSkipsASlotWhoseRangeIsNan) {
    ASSERT_EQ(entries.ExportMnuClick(*l.tesra, "3.5.02", "23010003", places), path);
    IniFile(path).writeString("CONFIG_LOOKUP", "Range_1", "NAN");
    IniFile(path).writeString("CONFIG_LOOKUP", "Gas_0", "Ar");
    l.demo.unlock(3);
    ASSERT_EQ(l.demo.write(3, findLutParameter("Gas")->inSlot(1), "He"), "ok");
    todaysCode();
    ASSERT_TRUE(entries.ImportMnuClick(*l.tesra, "3.5.02", "23010003", places));
    EXPECT_EQ(slotValue(1, "Gas"), "He");
    EXPECT_EQ(slotValue(0, "Gas"), "Ar");
}

TEST_F(OlderSetup, ImportWithoutFileOrOnSeries4WritesNothing) {
    const size_t before = l.wire->sent.size();
    EXPECT_FALSE(entries.ImportMnuClick(*l.tesra, "4.3.15", "23010003", places));
    EXPECT_FALSE(entries.ImportMnuClick(*l.tesra, "4.0.0", "23010003", places));
    EXPECT_EQ(l.wire->sent.size(), before);
    EXPECT_TRUE(l.ui.messages.empty());
    EXPECT_TRUE(l.ui.inputs.empty());
    EXPECT_EQ(entries.ExportMnuClick(*l.tesra, "4.0.0", "23010003", places), "");
    EXPECT_EQ(l.wire->sent.size(), before);
    ASSERT_EQ(l.ui.messages.size(), 1u) << "no setup for 4.0.0, and the operator hears why";
    l.ui.messages.clear();

    EXPECT_FALSE(entries.ImportMnuClick(*l.tesra, "3.5.02", "23010003", places))
        << "refused access code";
    todaysCode();
    EXPECT_FALSE(entries.ImportMnuClick(*l.tesra, "3.5.02", "23010003", places));
    ASSERT_EQ(l.ui.messages.size(), 1u);
    EXPECT_EQ(l.ui.messages[0].text, "Daten nicht gefunden...");
    EXPECT_EQ(l.ui.messages[0].caption, "Konfiguration einlesen");
    EXPECT_EQ(l.wire->sent.size(), before);
}

// A damaged key stops the import before anything reaches the device, and says which key.
TEST_F(OlderSetup, DamagedDataSetLoadsNothing) {
    ASSERT_EQ(entries.ExportMnuClick(*l.tesra, "3.5.02", "23010003", places), path);
    for (auto [section, key, value] : {std::tuple{"CONFIG", "Range", "abc"},
                                       {"CONFIG", "P2", "1e999"},
                                       {"CONFIG_LOOKUP", "FlowValues_1", "1;2;3"},
                                       {"CONFIG_LOOKUP", "kFT_0", "x"}}) {
        ASSERT_EQ(entries.ExportMnuClick(*l.tesra, "3.5.02", "23010003", places), path);
        IniFile(path).writeString(section, key, value);
        const size_t writes = deviceWrites();
        l.ui.messages.clear();
        todaysCode();
        EXPECT_FALSE(entries.ImportMnuClick(*l.tesra, "3.5.02", "23010003", places)) << key;
        if (std::string(section) == "CONFIG") EXPECT_EQ(deviceWrites(), writes) << key;
        ASSERT_EQ(l.ui.messages.size(), 1u) << key;
        EXPECT_NE(l.ui.messages[0].text.find(key), std::string::npos) << l.ui.messages[0].text;
    }
}

TEST_F(OlderSetup, NumberFieldsRefuseTextThatIsNoNumber) {
    ASSERT_TRUE(konfig.FormActivate());
    for (const char* bad : {"abc", "1e999", ""}) {
        EXPECT_FALSE(konfig.setValue("Range", bad)) << bad;
        EXPECT_TRUE(konfig.invalid("Range"));
        const size_t writes = deviceWrites();
        EXPECT_FALSE(konfig.OKBtnClick());
        EXPECT_EQ(deviceWrites(), writes) << bad;
        EXPECT_NE(l.ui.messageTexts().back().find("Range"), std::string::npos);
    }
    EXPECT_FALSE(konfig.setValue("FilterAvrge", "70000"));
    EXPECT_TRUE(konfig.setValue("FilterAvrge", "9"));
    EXPECT_TRUE(konfig.setValue("Range", "12,5"));
    ASSERT_TRUE(konfig.OKBtnClick());
    EXPECT_EQ(l.tesra->ReadValue(reg::kRange), "12.5");
    EXPECT_EQ(konfig.value("FilterAvrge"), "9") << "read back after the write";
}

TEST_F(OlderSetup, SlotChoiceReadsAtTheSlotsOwnRegisters) {
    konfig.LuTBoxSelect(3);
    const auto& req = l.wire->sent.back();
    EXPECT_EQ(req[1], 0x03);
    EXPECT_EQ(req[2] << 8 | req[3], 0x0938 + 0x37E);
    EXPECT_EQ(konfig.rangeText(), "NaN") << "slot 3 is empty";
    ASSERT_TRUE(konfig.LuTBoxSelect(1));
    EXPECT_EQ(konfig.slotValue("Gas"), slotValue(1, "Gas"));
    EXPECT_EQ(konfig.slotValue("kFT"), slotValue(1, "kFT"));
    EXPECT_NE(konfig.slotValue("kFT"), slotValue(0, "kFT"));
}

TEST_F(OlderSetup, LookupOnlySavesTheChosenSlotsKeys) {
    daten.config = daten.pidSets = false;
    ASSERT_TRUE(konfig.LuTBoxSelect(2));
    ASSERT_TRUE(daten.SaveDataSet(path));
    IniFile file(path);
    EXPECT_EQ(file.sectionNames(), std::vector<std::string>{"CONFIG_LOOKUP"});
    const auto pairs = file.sectionPairs("CONFIG_LOOKUP");
    for (const auto& [key, value] : pairs)
        EXPECT_EQ(key.substr(key.size() - 2), "_2") << key;
    EXPECT_EQ(pairs.back().first, "FlowValues_2");
    fs::remove(path);
    konfig.setLutChoice(-1);
    ASSERT_TRUE(daten.SaveDataSet(path));
    EXPECT_EQ(IniFile(path).sectionPairs("CONFIG_LOOKUP").front().first, "Gas");
}

TEST_F(OlderSetup, TotalizerAdjustAndUnitChange) {
    ASSERT_TRUE(konfig.FormActivate());
    konfig.setValue("TotFactor", "2");
    EXPECT_TRUE(konfig.TotJustBtnNewClick("110", "100"));
    EXPECT_EQ(konfig.value("TotFactor"), "2.2");
    EXPECT_FALSE(konfig.TotJustBtnNewClick("110", "0"));
    konfig.setValue("TUnit", "ln");
    konfig.TUnitChange("mln");
    EXPECT_EQ(konfig.value("TotFactor"), "2200");
    konfig.setValue("FUnit", "ln/min");
    konfig.setValue("Range", "20");
    konfig.RUnitChange("mln/min");
    EXPECT_EQ(konfig.value("Range"), "20000");
}

TEST(Konfig2Fields, TextsAreCheckedByTheRegistersType) {
    struct Case {
        FieldKind kind;
        const char* text;
        const char* deviceText; // nullptr: refused
    };
    for (const Case& c : {Case{FieldKind::Float, "12,5", "12.5"},
                          {FieldKind::Float, " -3 ", "-3"},
                          {FieldKind::Float, "NaN", "NaN"},
                          {FieldKind::Float, "abc", nullptr},
                          {FieldKind::Float, "1e999", nullptr},
                          {FieldKind::Float, "3.5e38", nullptr},
                          {FieldKind::Float, "", nullptr},
                          {FieldKind::Int16, "-32768", "-32768"},
                          {FieldKind::Int16, "32768", nullptr},
                          {FieldKind::UInt16, "-1", nullptr},
                          {FieldKind::UInt16, "1.5", nullptr},
                          {FieldKind::UInt32, "4294967295", "4294967295"},
                          {FieldKind::UInt32, "4294967296", nullptr},
                          {FieldKind::Text, "GKC3N2A", "GKC3N2A"},
                          {FieldKind::Text, "GKC3N2AB", nullptr},
                          {FieldKind::Text, "°C", "°C"},
                          {FieldKind::Text, "€€€€€€€€", nullptr},
                          {FieldKind::Version, "3.1.00", "784"},
                          {FieldKind::Version, "3.16.0", nullptr},
                          {FieldKind::Version, "3.1", nullptr}}) {
        std::string out;
        EXPECT_EQ(checkFieldText(c.kind, c.text, out), c.deviceText != nullptr) << c.text;
        if (c.deviceText) EXPECT_EQ(out, c.deviceText) << c.text;
    }
}

// "OK" writes what changed, in the dialog's order, and never a field whose read failed.
TEST_F(OlderSetup, OkWritesOnlyChangedFieldsAndNeverAFailedRead) {
    ASSERT_TRUE(konfig.FormActivate());
    const size_t before = l.writeRequests().size();
    ASSERT_TRUE(konfig.OKBtnClick());
    EXPECT_EQ(l.writeRequests().size(), before) << "nothing changed, nothing written";
    konfig.setValue("GasBox", "Ar");
    konfig.setValue("TUnit", "mln");
    konfig.setValue("Temperatur", "Fehler");
    ASSERT_TRUE(konfig.OKBtnClick());
    std::vector<int> registers;
    for (size_t i = before; i < l.writeRequests().size(); ++i)
        registers.push_back(l.writeRequests()[i][2] << 8 | l.writeRequests()[i][3]);
    EXPECT_EQ(registers, (std::vector<int>{0x002B, 0x4048, 0x001A}));
    EXPECT_EQ(l.tesra->ReadValue(reg::kGasText), "Ar");
}

TEST_F(OlderSetup, PidSetsGoThroughTheFlowGraphsPidAccess) {
    ASSERT_TRUE(konfig.FormActivate());
    daten.config = daten.lookup = false;
    ASSERT_TRUE(daten.SaveDataSet(path));
    IniFile file(path);
    EXPECT_EQ(file.sectionPairs("CONFIG").size(), 2u + 5 * 5);
    EXPECT_NE(file.readString("CONFIG", "N0"), file.readString("CONFIG", "N4"));
    file.writeString("CONFIG", "P3", "7");
    ASSERT_TRUE(daten.LoadDataSet(path, "CONFIG_LOOKUP"));
    l.demo.unlock(3);
    ASSERT_EQ(l.demo.write(3, reg::kPidSetOld, "3"), "ok");
    PidValues values{};
    ASSERT_TRUE(ReadPID(*l.tesra, konfig.value("SWVer"), values));
    EXPECT_DOUBLE_EQ(values[kPidP], 7);
    // Half a set would mix the device's values with the file's: refused, nothing written.
    file.writeString("CONFIG", "I2", "");
    const size_t writes = deviceWrites();
    EXPECT_FALSE(daten.LoadDataSet(path, "CONFIG_LOOKUP"));
    EXPECT_EQ(deviceWrites(), writes);
    EXPECT_NE(l.ui.messageTexts().back().find("I2"), std::string::npos);
}

TEST_F(OlderSetup, ClearingASlotWritesAnEmptySlotAfterTheOperatorAgrees) {
    ASSERT_TRUE(konfig.FormActivate());
    EXPECT_FALSE(konfig.LuTDeleteBtnClick()) << "no slot chosen";
    ASSERT_TRUE(konfig.LuTBoxSelect(1));
    l.ui.messageAnswers = {MsgAnswer::No};
    EXPECT_FALSE(konfig.LuTDeleteBtnClick());
    EXPECT_NE(konfig.rangeText(), "NaN");
    ASSERT_TRUE(konfig.LuTDeleteBtnClick());
    ASSERT_TRUE(konfig.OKBtnClick());
    EXPECT_EQ(slotValue(1, "Range"), "NaN");
    ASSERT_TRUE(daten.LesenClick());
    EXPECT_EQ(konfig.table()[64], "0");
    EXPECT_TRUE(daten.schreibenEnabled());
}

} // namespace
} // namespace getkelo
