#include "base/ini_file.h"
#include "cli/cli_context.h"
#include "cli/cli_terminal_ui.h"
#include "cli/cli_transfers.h"
#include "config/eeprom_image_file.h"
#include "sim/fault_commands.h"
#include "sim_link.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace getkelo::sim::test {
namespace {

using namespace getkelo::cli;

class CliTransfers : public ::testing::Test {
  protected:
    SimLink link;
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("getkelo_cli_transfer_" + std::to_string(getpid()));
    void SetUp() override {
        std::filesystem::create_directories(dir);
        link.tesra->DelayMs = 0;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(CliTransfers, LutReadFindsTheDevicesDataFileAndWriteTakesItBack) {
    link.tesra->Address = 3;
    std::ostringstream out;
    LutReadArgs args{1, "", "tesra Typ03", {dir.string() + "/", true}};
    ASSERT_EQ(lutRead(*link.tesra, link.ui, args, out), kExitOk);
    const std::string file = (dir / "tesra Typ03/23010/23010003t03.dat").string();
    EXPECT_EQ(out.str(), "LOOKUP0 " + file + "\n");
    IniFile(file).writeString("LOOKUP0", "Gas", "He");
    ASSERT_EQ(lutWrite(*link.tesra, link.ui, 2, "LOOKUP0", file), kExitOk);
    EXPECT_EQ(link.tesra->ReadValue(findLutParameter("Gas")->inSlot(2)), "He");
    EXPECT_EQ(lutWrite(*link.tesra, link.ui, 2, "LOOKUP-1", file), kExitFailure);
    EXPECT_EQ(lutWrite(*link.tesra, link.ui, 2, "LOOKUP9", file), kExitFailure);
    link.tesra->Address = 6; // nobody there: no serial number, no file
    link.comm.RetryLimit = 2;
    EXPECT_EQ(lutRead(*link.tesra, link.ui, args, out), kExitFailure);
}

TEST_F(CliTransfers, EepromImageToAFileAndBack) {
    link.tesra->Address = 5;
    const std::string file = (dir / "image.eep").string();
    ASSERT_EQ(eepromRead(*link.tesra, link.ui, file), kExitOk);
    IniFile(file).writeString("EEPROM", "Zerocut", "-7");
    ASSERT_EQ(eepromWrite(*link.tesra, link.ui, file), kExitOk);
    std::vector<uint8_t> image;
    std::string error;
    ASSERT_TRUE(loadImageFile(file, image, error));
    EXPECT_TRUE(std::equal(link.device(5).serviceImage().begin(),
                           link.device(5).serviceImage().end(), image.begin()));
    EXPECT_EQ(link.device(5).serviceImage()[0x1029], 0xF9);
    // Only first-generation devices, only image files.
    link.tesra->Address = 4;
    EXPECT_EQ(eepromRead(*link.tesra, link.ui, file), kExitFailure);
    EXPECT_EQ(eepromWrite(*link.tesra, link.ui, file), kExitFailure);
    link.tesra->Address = 5;
    std::ofstream((dir / "other.txt").string()) << "[Tesra]\nCom=1\n";
    EXPECT_EQ(eepromWrite(*link.tesra, link.ui, (dir / "other.txt").string()), kExitFailure);
    runFaultCommand(link.demo.bus, "service 5 wrong");
    EXPECT_EQ(eepromWrite(*link.tesra, link.ui, file), kExitFailure);
}

TEST(TerminalUi, ProgressLineOnlyWhereWanted) {
    for (int show : {0, 1}) {
        std::FILE* f = std::tmpfile();
        {
            TerminalUi ui("lut read", show, f);
            ui.progressStart("EEPROM", "Lese EEPROM 0...", 43);
            for (int i = 1; i <= 43; ++i)
                ui.progressPosition(i);
            ui.progressFinish("EEPROM lesen erfolgreich!");
            EXPECT_EQ(ui.messageBox("retry?", "", MsgIcon::Error, MsgButtons::YesNo), MsgAnswer::No)
                << "nobody there to say yes";
        }
        std::rewind(f);
        std::string text;
        for (int c; (c = std::fgetc(f)) != EOF;)
            text += static_cast<char>(c);
        std::fclose(f);
        if (show) {
            EXPECT_NE(text.find("Lese EEPROM 0...  51 %"), std::string::npos);
            EXPECT_EQ(text.back(), '\n');
            EXPECT_NE(text.find("EEPROM lesen erfolgreich! 100 %\n"), std::string::npos);
        } else {
            EXPECT_EQ(text, "");
        }
    }
}

} // namespace
} // namespace getkelo::sim::test
