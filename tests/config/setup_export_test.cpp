#include "base/ini_file.h"
#include "comm/register_catalogue.h"
#include "config/setup_diff.h"
#include "config/setup_export.h"
#include "config/setup_file_path.h"
#include "console/text_source.h"
#include "sim/device_profiles.h"
#include "sim_link.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace getkelo {
namespace {

namespace fs = std::filesystem;
using sim::test::SimLink;

struct SetupExportTest : ::testing::Test {
    SimLink l;
    MapTextSource texts;
    fs::path dir = fs::temp_directory_path() / ("getkelo_setup_" + std::to_string(getpid()));
    std::string path = (dir / "setup.dat").string();

    void TearDown() override { fs::remove_all(dir); }
    // A series-4 device at address 9 with these slots.
    void addDevice(int lutCount, std::vector<int> used) {
        sim::DeviceConfig c = sim::defaultConfig(sim::Generation::Series4);
        c.address = 9;
        c.serial = 24019999;
        c.slotCount = lutCount;
        c.usedSlots = std::move(used);
        c.activeSlot = c.usedSlots.empty() ? 0 : c.usedSlots.front();
        l.demo.bus.addDevice(c);
    }
    bool exportAt(uint8_t address, DeviceSetup* setup = nullptr) {
        l.tesra->Address = address;
        return SetupExport(*l.tesra, l.ui, texts).WriteSetupFile(path, "L", "C", "E", setup);
    }
    std::string selectors(uint8_t address) {
        return l.demo.read(address, reg::kSlotSelector) + "/" +
               l.demo.read(address, reg::kPidSetSelector);
    }
};

TEST_F(SetupExportTest, UsedSlotsGetASectionEachWithTheirPidSets) {
    addDevice(3, {1, 3});
    DeviceSetup setup;
    ASSERT_TRUE(exportAt(9, &setup));
    IniFile file(path);
    EXPECT_EQ(file.sectionNames(),
              (std::vector<std::string>{"SETUP", "SETUP_LUT_1", "SETUP_LUT_3"}));
    EXPECT_EQ(file.sectionPairs("SETUP").size(), 102u);
    for (const char* s : {"SETUP_LUT_1", "SETUP_LUT_3"}) {
        const auto pairs = file.sectionPairs(s);
        ASSERT_EQ(pairs.size(), 52u) << s;
        EXPECT_EQ(pairs[0].first, "LookupIdent");
        EXPECT_EQ(pairs[31].first, "PidSelect");
        EXPECT_EQ(pairs[32].first, "Tv_0");
        EXPECT_EQ(pairs[35].first, "N_0");
        EXPECT_EQ(pairs.back().first, "N_4");
    }
    // The copies behind the selectors differ: a mix-up of slot or set would show here.
    EXPECT_NE(file.readString("SETUP_LUT_1", "SensorId"),
              file.readString("SETUP_LUT_3", "SensorId"));
    EXPECT_NE(file.readString("SETUP_LUT_1", "Tv_0"), file.readString("SETUP_LUT_1", "Tv_4"));
    EXPECT_EQ(file.readString("SETUP", "LUT_Count"), "3");
    EXPECT_EQ(setup.failedReads, 0);
    const auto& ev = l.ui.progressEvents;
    EXPECT_EQ(ev.front(), "start:C|L|102");
    EXPECT_NE(std::find(ev.begin(), ev.end(), "max:206"), ev.end());
    EXPECT_EQ(ev.back(), "finish:E");
    EXPECT_EQ(l.ui.beeps, 1);
    EXPECT_TRUE(l.ui.messages.empty());
    EXPECT_EQ(selectors(9), "0/0");
}

TEST_F(SetupExportTest, NoSlotsGiveOnlySetupAndOlderSlotSectionsStay) {
    addDevice(3, {1, 3});
    ASSERT_TRUE(exportAt(9));
    sim::DeviceConfig c = sim::defaultConfig(sim::Generation::Series4);
    c.address = 10;
    c.serial = 24019998;
    c.slotCount = 0;
    c.usedSlots = {};
    l.demo.bus.addDevice(c);
    const std::string other = (dir / "other.dat").string();
    l.tesra->Address = 10;
    ASSERT_TRUE(SetupExport(*l.tesra, l.ui, texts).WriteSetupFile(other, "", "", ""));
    EXPECT_EQ(IniFile(other).sectionNames(), std::vector<std::string>{"SETUP"});
    ASSERT_TRUE(exportAt(10));
    IniFile file(path);
    EXPECT_EQ(file.sectionNames(),
              (std::vector<std::string>{"SETUP", "SETUP_LUT_1", "SETUP_LUT_3"}));
    EXPECT_EQ(file.readString("SETUP", "SerialNumber"), "24019998");
}

// The keys of device 1's file against reads of the same registers straight off the wire,
// with a register list of this test's own.
TEST_F(SetupExportTest, FileMatchesAnIndependentRawRead) {
    ASSERT_TRUE(exportAt(1));
    const char* setupTable =
        "ControlMode 000E 31 ModBusAdress 0013 31 SerialNumber 001E 43 HardwareVersion 0020 31 "
        "SoftwareVersion 0021 31 DeviceTypeCode1 0023 07 SelectSccmTicks 0027 31 "
        "SetAnalogOut 0028 13 SetDac 002A 31 DeviceTypeCode2 1004 07 TempUnit 100A 07 "
        "PressUnit 100E 07 PowerUp 4040 31 PowerUpSetpoint 4041 13 TotalisatorMode 4043 31 "
        "DetectorMode 404E 31 EepromMode 4050 31 ReverseFlowDetection 4051 13 "
        "FunctionsSelected 4082 43 AnalogSignalOut 4084 31 AnalogSignalIn 4085 31 "
        "AlarmDelay 4087 31 PwmFull 4122 43 PwmLin 4124 31 ValvePulse 4125 31 "
        "FunctionsAvailable 4128 43 Pwm1 412A 31 Pwm2 412B 31 DacCurrent_k0 4130 21 "
        "DacCurrent_k1 4131 13 AdcCurrent_k0 4133 31 AdcCurrent_k1 4134 13 "
        "AdcVoltage_k0 4136 31 AdcVoltage_k1 4137 13 LutSelect 4139 31 TagName 5000 60 "
        "ModbusHiLoSwap 5100 31 AnalogInvert 5101 31 Baudrate 5200 31 EepromSize 5300 31 "
        "LUT_Count 5301 31 SensorSn 5415 43 ResolutionFlow 5420 31 SensorReg8Default 5421 31 "
        "SensorReg9Default 5422 31 VoltageOutActive 5500 31 DacVoltage_k0 5501 21 "
        "DacVoltage_k1 5502 13 VoltageInActive 5504 31 CurrentInUserMin 5505 13 "
        "CurrentInUserMax 5507 13 VoltageInUserMin 5509 13 VoltageInUserMax 550B 13 "
        "CurrentOutUserMin 550D 13 CurrentOutUserMax 550F 13 VoltageOutUserMin 5511 13 "
        "VoltageOutUserMax 5513 13 ProfibusAdress 5900 31 Profibus_No_Add_Chg 5901 31 "
        "FilterType 5C08 31 FilterFactor 5C09 31 TickFilter 5C0A 31 MeasureFilter 5C0B 31 "
        "FilterSamplesFirst 5C0C 31 FilterBand 5C0D 13 FilterSamplesNext 5C0F 31 "
        "FilterChange 5C10 31 Scale_k0_Tv 5D00 13 Scale_k1_Tv 5D02 13 Scale_k0_Kp 5D04 13 "
        "Scale_k1_Kp 5D06 13 Scale_k0_Tn 5D08 13 Scale_k1_Tn 5D0A 13 Scale_k0_N 5D0C 13 "
        "Scale_k1_N 5D0E 13 Scaled_Kp 5E00 13 Scaled_Tn 5E02 13 Scaled_Tv 5E04 13 "
        "Scaled_N 5E06 31";
    const char* slotTable =
        "LookupIdent 6000 43 LookupInfo 6002 31 SensorId 6010 43 FlowRange 6020 13 "
        "GasName 6022 60 Gas 6042 07 FlowUnit 6046 07 RefPressure 604A 13 RefTemp 604C 13 "
        "Density 604E 13 kn_sccm 6100 13 kn_Unit 6102 13 kn_Scale 6104 13 Offset_k0 6106 13 "
        "Offset_k1 6108 13 OffsetComp_k0 610A 13 OffsetComp_k1 610C 13 Gain 6120 31 "
        "HeatPower 6121 31 Dynamic 6122 31 CutOff 6123 13 TempCalib 6140 13 "
        "TempOperate 6142 13 PressureIn 6144 13 PressureOut 6146 13 Temp_k0 6300 13 "
        "Temp_k1 6302 13 Totalisator 6380 13 TotalisatorN 6382 13 TotalisatorScale 6384 13 "
        "TotalisatorUnit 6386 07 PidSelect 6200 31";
    auto raw = [&](unsigned r, unsigned type) {
        const int count = type == 0x60 ? 25 : type == 0x07 ? 4 : (type & 0x0F) == 1 ? 1 : 2;
        return l.demo.read(1, makeDescriptor(uint16_t(r), uint8_t(count), uint8_t(type)));
    };
    auto compare = [&](const char* table, const std::string& section, size_t expectedKeys) {
        std::istringstream in(table);
        std::string key, r, t;
        size_t n = 0;
        IniFile file(path);
        while (in >> key >> r >> t) {
            ++n;
            EXPECT_EQ(file.readString(section, key),
                      raw(std::stoul(r, nullptr, 16), std::stoul(t, nullptr, 16)))
                << section << " " << key;
        }
        return n == expectedKeys;
    };
    EXPECT_TRUE(compare(setupTable, "SETUP", 79));
    IniFile file(path);
    for (int n = 0; n <= 20; ++n)
        EXPECT_EQ(file.readString("SETUP", "SensorReg" + std::to_string(n)), raw(0x5400 + n, 0x31));
    l.demo.unlock(1);
    for (int slot : {1, 2}) {
        ASSERT_EQ(l.demo.write(1, reg::kSlotSelector, std::to_string(slot)), "ok");
        EXPECT_TRUE(compare(slotTable, "SETUP_LUT_" + std::to_string(slot), 32));
        for (int k = 0; k < 5; ++k) {
            ASSERT_EQ(l.demo.write(1, reg::kPidSetSelector, std::to_string(k)), "ok");
            const std::string s = "SETUP_LUT_" + std::to_string(slot), n = std::to_string(k);
            EXPECT_EQ(file.readString(s, "Tv_" + n), raw(0x6202, 0x13));
            EXPECT_EQ(file.readString(s, "Kp_" + n), raw(0x6204, 0x13));
            EXPECT_EQ(file.readString(s, "Tn_" + n), raw(0x6206, 0x13));
            EXPECT_EQ(file.readString(s, "N_" + n), raw(0x6208, 0x31));
        }
    }
    EXPECT_FALSE(file.sectionExists("SETUP_LUT_3"));
}

// A lost group read gives "Fehler" for its keys only; a slot that cannot be chosen reads
// "Fehler" throughout instead of another slot's values; the selectors end at 0 all the same.
TEST_F(SetupExportTest, FailedReadsAreMarkedAndSelectorsEndAtZero) {
    addDevice(3, {1, 3});
    l.wire->lose = [](const sim::test::Bytes& b) {
        const bool groupRead = b.size() == 8 && b[1] == 0x03 && b[2] == 0x60 && b[3] == 0x20;
        const bool chooseSlot3 =
            b.size() >= 9 && b[1] == 0x10 && b[2] == 0x5F && b[3] == 0xFF && b[8] == 3;
        static int slot3Choices = 0;
        return groupRead || (chooseSlot3 && ++slot3Choices > 1);
    };
    DeviceSetup setup;
    ASSERT_TRUE(exportAt(9, &setup));
    IniFile file(path);
    EXPECT_EQ(file.readString("SETUP_LUT_1", "FlowRange"), "Fehler");
    EXPECT_EQ(file.readString("SETUP_LUT_1", "GasName"), "Fehler");
    EXPECT_NE(file.readString("SETUP_LUT_1", "Gas"), "Fehler");
    for (const auto& [key, value] : file.sectionPairs("SETUP_LUT_3"))
        EXPECT_EQ(value, "Fehler") << key;
    EXPECT_EQ(setup.failedReads, 2 + 52);
    ASSERT_EQ(l.ui.messages.size(), 1u);
    EXPECT_EQ(l.ui.messages[0].icon, MsgIcon::Warning);
    l.wire->lose = nullptr;
    EXPECT_EQ(selectors(9), "0/0");
}

TEST(SetupKind, VersionsCompareAsText) {
    for (auto [version, kind] : {std::pair{"3.5.02", SetupKind::Older},
                                 {"10.1.0", SetupKind::Older},
                                 {"4.0.0", SetupKind::Neither},
                                 {"4.0.00", SetupKind::Series4},
                                 {"4.3.15", SetupKind::Series4},
                                 {"7.0.0", SetupKind::Series4}})
        EXPECT_EQ(setupKindOf(version), kind) << version;
}

TEST(SetupFilePath, NamesFollowVersionAndFolderLayout) {
    EXPECT_EQ(olderSetupFilePath("/w", false, "23010003"), "/w/23010003t03.dat");
    EXPECT_EQ(olderSetupFilePath("/w/", true, "23010003"), "/w/23010/23010003t03.dat");
    EXPECT_EQ(series4SetupFilePath("/d", false, "6.1.02", "24010001"), "/d/24010001t04.dat");
    EXPECT_EQ(series4SetupFilePath("/d", true, "4.3.15", "24010001"),
              "/d/tesra typ04/24010/24010001t04.dat");
    EXPECT_EQ(series4SetupFilePath("/d", true, "5.0.0", "24010001"),
              "/d/tesra typ05/24010/24010001t05.dat");
    EXPECT_EQ(series4SetupFilePath("/d", true, "7.2.01", "24010001"),
              "/d/tesra typ07/24010/24010001t07.dat");
    EXPECT_EQ(series4SetupFilePath("/d", true, "4.3.15", "../x"), "");
    EXPECT_EQ(series4SetupFilePath("/d", true, "3.5.02", "24010001"), "");
}

TEST_F(SetupExportTest, DiffShowsExactlyTheRegisterThatChanged) {
    ASSERT_TRUE(exportAt(1));
    std::vector<SetupSection> before, after;
    std::string error;
    ASSERT_TRUE(loadSetupFile(path, before, error)) << error;
    EXPECT_TRUE(diffSetups(before, before).empty());
    l.demo.unlock(1);
    ASSERT_EQ(l.demo.write(1, makeDescriptor(0x5C09, 1, kTypeUInt16), "13"), "ok");
    l.demo.advance(2000); // another second: "Time" differs, and does not count
    DeviceSetup now;
    l.tesra->Address = 1;
    now = SetupExport(*l.tesra, l.ui, texts).read("", "");
    const auto d = diffSetups(before, now.sections);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].section, "SETUP");
    EXPECT_EQ(d[0].key, "FilterFactor");
    EXPECT_EQ(d[0].before, "12");
    EXPECT_EQ(d[0].after, "13");
    // A section only one side has shows all its keys as missing on the other.
    now.sections.pop_back();
    const auto gone = diffSetups(before, now.sections);
    ASSERT_EQ(gone.size(), 53u);
    EXPECT_TRUE(gone.back().missingAfter);
    EXPECT_FALSE(loadSetupFile((dir / "none.dat").string(), before, error));
}

} // namespace
} // namespace getkelo
