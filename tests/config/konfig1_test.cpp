#include "comm/register_catalogue.h"
#include "config/eeprom_image_file.h"
#include "config/konfig1.h"
#include "console/text_source.h"
#include "sim/fault_commands.h"
#include "sim_link.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

constexpr uint8_t kFirst = 5;

class Konfig1Logic : public ::testing::Test {
  protected:
    SimLink link;
    MapTextSource texts;
    Konfig1 konfig{link.ui, texts};
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("getkelo_konfig1_" + std::to_string(getpid()));

    void SetUp() override {
        std::filesystem::create_directories(dir);
        link.tesra->Address = kFirst;
        konfig.setConnection(link.tesra.get());
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::vector<uint8_t>& deviceImage() { return link.device(kFirst).serviceImage(); }
};

TEST_F(Konfig1Logic, ImageReadEditedAndWrittenBackChangesOnlyTheEdit) {
    const std::vector<uint8_t> original = deviceImage();
    ASSERT_TRUE(konfig.readFromDevice());
    EXPECT_EQ(konfig.origin(), "21010005");
    EXPECT_EQ(konfig.fieldText("Gain"), "12");
    EXPECT_EQ(konfig.fieldText("Gas"), "N2");
    EXPECT_EQ(konfig.fieldText("TheorMaxFlow"), "1000");
    EXPECT_FALSE(konfig.anyChanged());

    EXPECT_TRUE(konfig.setField("Gain", "40"));
    EXPECT_TRUE(konfig.setField("Gas", "CO2"));
    EXPECT_TRUE(konfig.changed("Gain"));
    EXPECT_FALSE(konfig.changed("HeatPower"));
    link.ui.messageAnswers = {MsgAnswer::Yes};
    ASSERT_TRUE(konfig.writeToDevice());
    EXPECT_FALSE(konfig.anyChanged());

    std::vector<uint8_t> expected = original;
    expected[0x100E] = 40;
    std::copy_n("CO2\0\0\0\0\0", 8, expected.begin() + 0x1210);
    EXPECT_EQ(deviceImage(), expected);
    Konfig1 again{link.ui, texts};
    again.setConnection(link.tesra.get());
    ASSERT_TRUE(again.readFromDevice());
    EXPECT_EQ(again.fieldText("Gain"), "40");
    EXPECT_EQ(again.image(), konfig.image());
}

TEST_F(Konfig1Logic, NumberChecksKeepTheValueAndSaySo) {
    ASSERT_TRUE(konfig.readFromDevice());
    struct Case {
        const char* key;
        const char* text;
    };
    for (Case c : {Case{"Gain", "256"}, Case{"Gain", "1,5"}, Case{"Zerocut", "40000"},
                   Case{"TheorMaxFlow", "-1"}, Case{"Gas", "Nitrogen"}, Case{"Divisor", ""}}) {
        link.ui.messages.clear();
        const std::string before = konfig.fieldText(c.key);
        EXPECT_FALSE(konfig.setField(c.key, c.text)) << c.key << " " << c.text;
        EXPECT_EQ(konfig.fieldText(c.key), before);
        EXPECT_EQ(link.ui.messages.size(), 1u);
    }
    EXPECT_TRUE(konfig.setField("Zerocut", "-20"));
    EXPECT_EQ(konfig.fieldText("Zerocut"), "-20");
    EXPECT_FALSE(konfig.setField("NoSuchField", "1"));
}

TEST_F(Konfig1Logic, DeclinedOrFailedTransfersChangeNothing) {
    ASSERT_TRUE(konfig.readFromDevice());
    const std::vector<uint8_t> before = deviceImage();
    konfig.setField("Gain", "41");
    link.ui.messageAnswers = {MsgAnswer::No};
    const size_t sent = link.wire->sent.size();
    EXPECT_FALSE(konfig.writeToDevice());
    EXPECT_EQ(link.wire->sent.size(), sent) << "nothing goes out without the operator's yes";

    runFaultCommand(link.demo.bus, "service 5 stop");
    link.ui.messageAnswers = {MsgAnswer::Yes};
    EXPECT_FALSE(konfig.writeToDevice());
    EXPECT_EQ(link.ui.messageTexts().back(), "Fehler beim EEPROM schreiben!");
    EXPECT_EQ(deviceImage(), before);
    EXPECT_TRUE(konfig.anyChanged()) << "the edit is still there to try again";
    EXPECT_FALSE(konfig.readFromDevice());
    EXPECT_EQ(link.ui.messageTexts().back(), "Fehler beim EEPROM lesen!");
    EXPECT_EQ(konfig.fieldText("Gain"), "41") << "a failed read keeps what was shown";
}

TEST_F(Konfig1Logic, FilesRoundTripAndOthersAreAWrongFormat) {
    ASSERT_TRUE(konfig.readFromDevice());
    konfig.setField("Step", "3");
    const std::string file = (dir / "img.eep").string();
    ASSERT_TRUE(konfig.saveFile(file));
    Konfig1 other{link.ui, texts};
    ASSERT_TRUE(other.loadFile(file));
    EXPECT_EQ(other.image(), konfig.image());
    EXPECT_EQ(other.origin(), file);
    const std::string bad = (dir / "bad.eep").string();
    std::ofstream(bad) << "[EEPROM]\nFormat=x\n";
    EXPECT_FALSE(other.loadFile(bad));
    EXPECT_EQ(link.ui.messageTexts().back().rfind("Wrong file format", 0), 0u);
    EXPECT_EQ(other.image(), konfig.image()) << "the image shown stays";
    EXPECT_FALSE(other.writeToDevice()) << "no connection given";
}

} // namespace
} // namespace getkelo::sim::test
