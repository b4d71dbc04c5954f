#include "base/ini_file.h"
#include "calib/list_helpers.h"
#include "calib_files_fixture.h"
#include "comm/register_catalogue.h"
#include "comm/service_image.h"
#include "sim/fault_commands.h"

namespace getkelo::sim::test {
namespace {

constexpr uint8_t kThird = 3, kSecond = 4, kFirst = 5;
using Outcome = CalibDataFiles::SectionWrite;

class LutSections : public CalibFiles {
  protected:
    std::string t03 = path("23010003t03.dat");

    void SetUp() override {
        CalibFiles::SetUp();
        link.tesra->Address = kThird;
        link.tesra->DelayMs = 0;
    }
    float deviceValue(uint8_t address, int slot, int i) {
        auto d = makeDescriptor(static_cast<uint16_t>(LutSlotBase(slot) + 2 * i), 2, kTypeFloat);
        return std::stof(link.device(address).get(d));
    }
    // A LOOKUP section of the given lines (everything a table needs unless replaced).
    void section(const std::string& lines) { write(t03, "[LOOKUP0]\r\n" + lines); }
    static std::string values(int count, const std::string& value = "0.5") {
        std::string out;
        for (int i = 0; i < count; ++i)
            out += (i ? ";" : "") + value;
        return out;
    }
};

TEST_F(LutSections, ReadGivesTheSlotsParametersTableAndCheck) {
    const std::string section = files.ReadLutToSection(t03, 1, 4242);
    ASSERT_EQ(section, "LOOKUP0");
    IniFile f(t03);
    std::vector<std::string> keys;
    for (const auto& [k, v] : f.sectionPairs(section))
        keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "Date",      "Time",        "DataSource", "Gas",           "Range",
                        "FlowUnit",  "kn_sccm",     "Temp_k0",    "Temp_k1",       "ThetaCalib",
                        "Offset_k1", "Offset_k0",   "kFFTT",      "kFFT",          "kFTT",
                        "kFT",       "LookupIdent", "LookupInfo", "CalibPressure", "FlowValues",
                        "Check"}));
    EXPECT_EQ(f.readString(section, "DataSource"), "LookupIdent 4242");
    EXPECT_EQ(f.readString(section, "Gas"), "Air");
    EXPECT_EQ(f.readString(section, "Offset_k0"), "-12");
    std::vector<double> table = ParseFloatList(f.readString(section, "FlowValues"));
    ASSERT_EQ(table.size(), 129u);
    EXPECT_NEAR(table[64], deviceValue(kThird, 1, 64), 1e-6);
    EXPECT_EQ(f.readInteger(section, "Check"), files.SectionChecksum(t03, section));
    EXPECT_EQ(link.ui.progressEvents.front(), "start:EEPROM|Lese Parameter...|16");
    EXPECT_EQ(link.ui.progressEvents.back(), "finish:Lesen abgeschlossen!");
    EXPECT_EQ(link.ui.beeps, 1);
    // Without a source there is no "DataSource"; the next table takes the next name.
    EXPECT_EQ(files.ReadLutToSection(t03, 0, 0), "LOOKUP1");
    EXPECT_FALSE(f.valueExists("LOOKUP1", "DataSource"));
}

TEST_F(LutSections, ChecksumFollowsValuesKeysAndDeviceButNotItsOwnLine) {
    const std::vector<std::pair<std::string, std::string>> lines = {
        {"Gas", "N2"}, {"Range", "20"}, {"Check", "5"}};
    const int32_t sum = checksumOfLines(lines, 1000);
    // "Gas=N2" and "Range=20" as signed bytes, plus the serial number.
    EXPECT_EQ(sum, 1000 + 71 + 97 + 115 + 61 + 78 + 50 + 82 + 97 + 110 + 103 + 101 + 61 + 50 + 48);
    auto with = [&](size_t i, std::string key, std::string value) {
        auto l = lines;
        l[i] = {std::move(key), std::move(value)};
        return checksumOfLines(l, 1000);
    };
    EXPECT_NE(with(1, "Range", "21"), sum);
    EXPECT_NE(with(0, "Gaz", "N2"), sum);
    EXPECT_NE(checksumOfLines(lines, 1001), sum);
    EXPECT_EQ(with(2, "Check", "-77"), sum);
    EXPECT_EQ(with(2, "CHECK", "1"), sum);
    EXPECT_EQ(checksumOfLines({{"T", "°C"}}, 0), 84 + 61 + (0xB0 - 256) + 67)
        << "the file's single-byte characters, signed";
    ASSERT_EQ(files.ReadLutToSection(t03, 0, 0), "LOOKUP0");
    const int32_t onThird = files.SectionChecksum(t03, "LOOKUP0");
    link.tesra->Address = kSecond;
    EXPECT_NE(files.SectionChecksum(t03, "LOOKUP0"), onThird) << "another device";
}

TEST_F(LutSections, TableStoredChangedInTheFileAndWrittenBackReadsBackChanged) {
    ASSERT_EQ(files.ReadLutToSection(t03, 1, 0), "LOOKUP0");
    IniFile f(t03);
    std::vector<double> table = ParseFloatList(f.readString("LOOKUP0", "FlowValues"));
    table[64] = 0.4321;
    std::string list;
    for (double v : table)
        AppendFormatted(list, "0.######", v);
    f.writeString("LOOKUP0", "FlowValues", list);
    f.writeString("LOOKUP0", "kFT", "0.0042");
    f.writeString("LOOKUP0", "Gas", "He");
    const std::string file = contents(t03);
    link.tesra->Address = 1; // the operation addresses the device itself
    ASSERT_EQ(files.WriteSectionToDevice(t03, "LOOKUP0", 2, kThird), Outcome::Written);
    EXPECT_EQ(link.tesra->Address, kThird);
    LookupTable back{};
    ASSERT_EQ(link.tesra->ReadLookupTable(2, back, link.ui), 0);
    EXPECT_FLOAT_EQ(back[64], 0.4321f);
    EXPECT_FLOAT_EQ(back[65], static_cast<float>(table[65]));
    auto param = [&](const char* key) {
        return link.tesra->ReadValue(findLutParameter(key)->inSlot(2));
    };
    EXPECT_EQ(param("kFT"), "0.0042");
    EXPECT_EQ(param("Gas"), "He");
    EXPECT_EQ(param("Range"), "20");
    EXPECT_EQ(link.tesra->ReadValue(reg::kLutSelect), "2");
    EXPECT_TRUE(link.device(kThird).lookupTablesStored());
    EXPECT_EQ(contents(t03), file) << "writing to a device never touches the file";
}

TEST_F(LutSections, UnusableSectionsAreRefusedBeforeAnythingIsSent) {
    struct Case {
        const char* what;
        std::string lines;
    };
    const Case cases[] = {
        {"12 values", "FlowValues=" + values(12) + "\r\n"},
        {"500 values", "FlowValues=" + values(500) + "\r\n"},
        {"no table", "Gas=N2\r\n"},
        {"1e999", "FlowValues=" + values(128) + ";1e999\r\n"},
        {"NaN in the table", "FlowValues=NaN;" + values(128) + "\r\n"},
        {"a word", "FlowValues=" + values(64) + ";abc;" + values(64) + "\r\n"},
        {"range 1e999", "FlowValues=" + values(129) + "\r\nRange=1e999\r\n"},
        {"offset beyond 16 bits", "FlowValues=" + values(129) + "\r\nOffset_k0=40000\r\n"},
        {"ident not a number", "FlowValues=" + values(129) + "\r\nLookupIdent=12ab\r\n"},
        {"gas too long", "FlowValues=" + values(129) + "\r\nGas=Nitrogen\r\n"},
    };
    for (const auto& c : cases) {
        section(c.lines);
        link.ui.messages.clear();
        EXPECT_EQ(files.WriteSectionToDevice(t03, "LOOKUP0", 0, kThird), Outcome::Refused)
            << c.what;
        EXPECT_EQ(busWrites(), 0u) << c.what;
        ASSERT_EQ(link.ui.messages.size(), 1u) << c.what;
        EXPECT_NE(link.ui.messages[0].text.find("LOOKUP0"), std::string::npos) << c.what;
    }
    EXPECT_EQ(files.WriteSectionToDevice(t03, "LOOKUP7", 0, kThird), Outcome::Refused)
        << "no such section";
}

TEST_F(LutSections, BrokenLinesAndMissingKeysKeepTheDevicesValues) {
    const std::string before = link.tesra->ReadValue(findLutParameter("kFFT")->inSlot(0));
    section("this line has no equals sign\r\n=orphan\r\nFlowValues=" + values(129, "0.25") +
            "\r\nkFFT=\r\nkFT=Fehler\r\nGas=Ar\r\n");
    ASSERT_EQ(files.WriteSectionToDevice(t03, "LOOKUP0", 0, kThird), Outcome::Written);
    EXPECT_EQ(link.tesra->ReadValue(findLutParameter("kFFT")->inSlot(0)), before);
    EXPECT_EQ(link.tesra->ReadValue(findLutParameter("Gas")->inSlot(0)), "Ar");
    EXPECT_FLOAT_EQ(deviceValue(kThird, 0, 128), 0.25f);
}

TEST_F(LutSections, SectionsOfMinusOneAndOtherGenerationsAreNotWritten) {
    section("FlowValues=" + values(129) + "\r\n");
    write(path("1t01.dat"), "[LOOKUP0]\r\nFlowValues=" + values(129) + "\r\n");
    write(path("1t03.dat"), "[LOOKUP-1]\r\nFlowValues=" + values(129) + "\r\n");
    EXPECT_EQ(files.WriteSectionToDevice(path("1t03.dat"), "LOOKUP-1", 0, kThird),
              Outcome::NotApplicable);
    EXPECT_EQ(files.WriteSectionToDevice(path("1t01.dat"), "LOOKUP0", 0, kThird),
              Outcome::NotApplicable);
    EXPECT_TRUE(link.wire->sent.empty());
}

TEST_F(LutSections, DeviceThatStopsAnsweringMidTableLeavesAMessageAndTheFile) {
    section("FlowValues=" + values(129) + "\r\n");
    const std::string file = contents(t03);
    int blocks = 0;
    link.wire->lose = [&](const Bytes& b) {
        return b[1] == 0x10 && (b[2] << 8 | b[3]) >= 0x0960 && ++blocks > 10;
    };
    EXPECT_EQ(files.WriteSectionToDevice(t03, "LOOKUP0", 1, kThird), Outcome::Failed);
    ASSERT_EQ(link.ui.messages.size(), 1u);
    EXPECT_NE(link.ui.messages[0].text.find("unvollständig"), std::string::npos);
    EXPECT_EQ(link.ui.progressEvents.back(), "finish:Fehler beim EEPROM schreiben!");
    EXPECT_EQ(contents(t03), file);
    link.wire->lose = nullptr;
    EXPECT_EQ(link.tesra->ReadValue(reg::kLutSelect), "0") << "not made the active table";
}

TEST_F(LutSections, FailedReadWritesNoSection) {
    int reads = 0;
    link.wire->lose = [&](const Bytes& b) { return b[1] == 0x03 && ++reads == 20; };
    EXPECT_EQ(files.ReadLutToSection(t03, 0, 0), "");
    EXPECT_FALSE(std::filesystem::exists(t03));
    ASSERT_EQ(link.ui.messages.size(), 1u);
    EXPECT_NE(link.ui.messages[0].text.find(t03), std::string::npos);
}

class ImageSections : public LutSections {
  protected:
    std::string v02 = path("21010005v02.dat");
    std::vector<uint8_t>& image() { return link.device(kFirst).serviceImage(); }
};

TEST_F(ImageSections, KeysArePlacedIntoTheImageAndNothingElseChanges) {
    write(v02, "[LOOKUP0]\r\nGain=30\r\nGas=He\r\nFactor=5\r\nDivisor=2\r\nDigits=1\r\n"
               "FlowTicksTemp3=1;-2;3\r\n");
    std::vector<uint8_t> expected = image();
    expected[0x100E] = 30;
    expected[0x102A] = 5, expected[0x102B] = 2, expected[0x1022] = 1;
    std::copy_n("He\0\0\0\0\0\0", 8, expected.begin() + 0x1210);
    for (int j = 0; j < 3; ++j) {
        const int v = (j == 1 ? -2 : j + 1);
        expected[3 * 512 + 2 * j] = static_cast<uint8_t>(v >> 8);
        expected[3 * 512 + 2 * j + 1] = static_cast<uint8_t>(v);
    }
    ASSERT_EQ(files.WriteSectionToDevice(v02, "LOOKUP0", 0, kFirst), Outcome::Written);
    EXPECT_EQ(image(), expected);
    EXPECT_DOUBLE_EQ(files.flowScale(), 0.25);
}

TEST_F(ImageSections, BadValuesOrAFailedReadWriteNoImage) {
    const std::vector<uint8_t> before = image();
    for (const char* lines : {"Gain=300\r\n", "Gas=Helium-3\r\n", "FlowTicksTemp0=1;x\r\n",
                              "FlowTicksTemp0=40000\r\n"}) {
        write(v02, std::string("[LOOKUP0]\r\n") + lines);
        EXPECT_EQ(files.WriteSectionToDevice(v02, "LOOKUP0", 0, kFirst), Outcome::Refused) << lines;
    }
    EXPECT_TRUE(link.wire->sent.empty());
    write(v02, "[LOOKUP0]\r\nGain=30\r\n");
    runFaultCommand(link.demo.bus, "service 5 wrong");
    EXPECT_EQ(files.WriteSectionToDevice(v02, "LOOKUP0", 0, kFirst), Outcome::Failed);
    for (const Bytes& b : link.wire->sent)
        EXPECT_NE(b.front(), 'W') << "no image write after a failed read";
    EXPECT_EQ(image(), before);
}

} // namespace
} // namespace getkelo::sim::test
