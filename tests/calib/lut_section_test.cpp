#include "base/ini_file.h"
#include "calib/list_helpers.h"
#include "calib_files_fixture.h"
#include "comm/register_catalogue.h"

namespace getkelo::sim::test {
namespace {

constexpr uint8_t kThird = 3, kSecond = 4, kFirst = 5;
using Outcome = CalibDataFiles::SectionWrite;

struct LutSections : CalibFiles {
    std::string t03 = path("23010003t03.dat");
    void SetUp() override {
        CalibFiles::SetUp();
        link.tesra->Address = kThird;
        link.tesra->DelayMs = 0;
    }
    std::string slotValue(const char* key, int slot) {
        return link.tesra->ReadValue(findLutParameter(key)->inSlot(slot));
    }
    static std::string values(int count, const std::string& value = "0.5") {
        std::string out;
        for (int i = 0; i < count; ++i)
            out += (i ? ";" : "") + value;
        return out;
    }
};

TEST_F(LutSections, ReadGivesTheSlotsParametersTableAndCheck) {
    ASSERT_EQ(files.ReadLutToSection(t03, 1, 4242), "LOOKUP0");
    IniFile f(t03);
    const auto pairs = f.sectionPairs("LOOKUP0");
    ASSERT_EQ(pairs.size(), 21u);
    EXPECT_EQ(pairs[2], (std::pair<std::string, std::string>{"DataSource", "LookupIdent 4242"}));
    EXPECT_EQ(pairs[3].first + pairs[11].first + pairs[19].first, "GasOffset_k0FlowValues");
    EXPECT_EQ(f.readString("LOOKUP0", "Offset_k0"), "-12");
    EXPECT_EQ(ParseFloatList(f.readString("LOOKUP0", "FlowValues")).size(), 129u);
    EXPECT_EQ(f.readInteger("LOOKUP0", "Check"), files.SectionChecksum(t03, "LOOKUP0"));
    EXPECT_EQ(link.ui.progressEvents.back(), "finish:Lesen abgeschlossen!");
    EXPECT_EQ(files.ReadLutToSection(t03, 0, 0), "LOOKUP1");
    EXPECT_FALSE(f.valueExists("LOOKUP1", "DataSource"));
}

TEST_F(LutSections, ChecksumFollowsValuesKeysAndDeviceButNotItsOwnLine) {
    using Lines = std::vector<std::pair<std::string, std::string>>;
    const Lines lines = {{"Gas", "N2"}, {"Check", "5"}};
    const int32_t sum = checksumOfLines(lines, 1000);
    EXPECT_EQ(sum, 1000 + 71 + 97 + 115 + 61 + 78 + 50); // "Gas=N2", signed bytes
    EXPECT_NE(checksumOfLines({{"Gas", "N3"}, {"Check", "5"}}, 1000), sum);
    EXPECT_NE(checksumOfLines({{"Gaz", "N2"}, {"Check", "5"}}, 1000), sum);
    EXPECT_NE(checksumOfLines(lines, 1001), sum);
    EXPECT_EQ(checksumOfLines({{"Gas", "N2"}, {"Check", "-77"}}, 1000), sum);
    EXPECT_EQ(checksumOfLines({{"T", "°C"}}, 0), 84 + 61 + (0xB0 - 256) + 67) << "Windows-1252";
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
    const std::string file = contents(t03);
    link.tesra->Address = 1; // the operation addresses the device itself
    ASSERT_EQ(files.WriteSectionToDevice(t03, "LOOKUP0", 2, kThird), Outcome::Written);
    LookupTable back{};
    ASSERT_EQ(link.tesra->ReadLookupTable(2, back, link.ui), 0);
    EXPECT_FLOAT_EQ(back[64], 0.4321f);
    EXPECT_FLOAT_EQ(back[65], static_cast<float>(table[65]));
    EXPECT_EQ(slotValue("kFT", 2), "0.0042");
    EXPECT_EQ(slotValue("Gas", 2), "Air");
    EXPECT_EQ(link.tesra->ReadValue(reg::kLutSelect), "2");
    EXPECT_EQ(contents(t03), file) << "writing to a device never touches the file";
}

TEST_F(LutSections, UnusableSectionsAreRefusedBeforeAnythingIsSent) {
    const std::string table = "FlowValues=" + values(129) + "\r\n";
    for (const std::string& lines :
         {"FlowValues=" + values(12), "FlowValues=" + values(500), std::string("Gas=N2"),
          "FlowValues=" + values(128) + ";1e999", "FlowValues=NaN;" + values(128),
          table + "Range=1e999", table + "Offset_k0=40000", table + "Gas=Nitrogen"}) {
        write(t03, "[LOOKUP0]\r\n" + lines + "\r\n");
        link.ui.messages.clear();
        EXPECT_EQ(files.WriteSectionToDevice(t03, "LOOKUP0", 0, kThird), Outcome::Refused) << lines;
        ASSERT_EQ(link.ui.messages.size(), 1u) << lines;
        EXPECT_NE(link.ui.messages[0].text.find("LOOKUP0"), std::string::npos);
    }
    write(t03, "[LOOKUP-1]\r\n" + table);
    EXPECT_EQ(files.WriteSectionToDevice(t03, "LOOKUP-1", 0, kThird), Outcome::NotApplicable);
    EXPECT_EQ(files.WriteSectionToDevice(path("1t01.dat"), "LOOKUP0", 0, kThird),
              Outcome::NotApplicable);
    EXPECT_TRUE(link.wire->sent.empty());
}

TEST_F(LutSections, BrokenLinesAndMissingKeysKeepTheDevicesValues) {
    const std::string before = slotValue("kFFT", 0);
    write(t03, "[LOOKUP0]\r\nno equals sign\r\n=orphan\r\nFlowValues=" + values(129, "0.25") +
                   "\r\nkFFT=\r\nkFT=Fehler\r\nGas=Ar\r\n");
    ASSERT_EQ(files.WriteSectionToDevice(t03, "LOOKUP0", 0, kThird), Outcome::Written);
    EXPECT_EQ(slotValue("kFFT", 0), before);
    EXPECT_EQ(slotValue("Gas", 0), "Ar");
}

TEST_F(LutSections, DeviceThatStopsAnsweringMidTableLeavesAMessageAndTheFile) {
    write(t03, "[LOOKUP0]\r\nFlowValues=" + values(129) + "\r\n");
    int blocks = 0;
    link.wire->lose = [&](const Bytes& b) {
        return b[1] == 0x10 && (b[2] << 8 | b[3]) >= 0x0960 && ++blocks > 10;
    };
    EXPECT_EQ(files.WriteSectionToDevice(t03, "LOOKUP0", 1, kThird), Outcome::Failed);
    ASSERT_EQ(link.ui.messages.size(), 1u);
    EXPECT_NE(link.ui.messages[0].text.find("unvollständig"), std::string::npos);
    EXPECT_EQ(link.ui.progressEvents.back(), "finish:Fehler beim EEPROM schreiben!");
    EXPECT_EQ(contents(t03), "[LOOKUP0]\r\nFlowValues=" + values(129) + "\r\n");
    link.wire->lose = nullptr;
    EXPECT_EQ(link.tesra->ReadValue(reg::kLutSelect), "0") << "not made the active table";
}

TEST_F(LutSections, ImageKeysOfAFirstGenerationFileGoIntoTheImageAlone) {
    const std::string v02 = path("21010005v02.dat");
    std::vector<uint8_t>& image = link.device(kFirst).serviceImage();
    std::vector<uint8_t> expected = image;
    write(v02, "[LOOKUP0]\r\nGain=300\r\n");
    EXPECT_EQ(files.WriteSectionToDevice(v02, "LOOKUP0", 0, kFirst), Outcome::Refused);
    write(v02,
          "[LOOKUP0]\r\nGain=30\r\nFactor=5\r\nDivisor=2\r\nDigits=1\r\nFlowTicksTemp3=-2\r\n");
    ASSERT_EQ(files.WriteSectionToDevice(v02, "LOOKUP0", 0, kFirst), Outcome::Written);
    expected[0x100E] = 30, expected[0x102A] = 5, expected[0x102B] = 2, expected[0x1022] = 1;
    expected[3 * 512] = 0xFF, expected[3 * 512 + 1] = 0xFE;
    EXPECT_EQ(image, expected);
    EXPECT_DOUBLE_EQ(files.flowScale(), 0.25);
}

} // namespace
} // namespace getkelo::sim::test
