#include "base/ini_file.h"
#include "cli/cli_context.h"
#include "cli/cli_terminal_ui.h"
#include "cli/cli_transfers.h"
#include "sim_link.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace getkelo::sim::test {
namespace {

using namespace getkelo::cli;

TEST(CliTransfers, LutAndEepromThroughTheCommandsLogic) {
    SimLink link;
    link.tesra->DelayMs = 0;
    const auto dir =
        std::filesystem::temp_directory_path() / ("getkelo_cli_" + std::to_string(getpid()));
    TerminalUi ui("test", 0);
    link.tesra->Address = 3;
    std::ostringstream out;
    ASSERT_EQ(lutRead(*link.tesra, ui, {1, "", "tesra Typ03", {dir.string() + "/", true}}, out),
              kExitOk);
    const std::string file = (dir / "tesra Typ03/23010/23010003t03.dat").string();
    EXPECT_EQ(out.str(), "LOOKUP0 " + file + "\n") << "the device's data file";
    IniFile(file).writeString("LOOKUP0", "Gas", "He");
    ASSERT_EQ(lutWrite(*link.tesra, ui, 2, "LOOKUP0", file), kExitOk);
    EXPECT_EQ(link.tesra->ReadValue(findLutParameter("Gas")->inSlot(2)), "He");
    EXPECT_EQ(lutWrite(*link.tesra, ui, 2, "LOOKUP-1", file), kExitFailure);

    const std::string image = (dir / "first.eep").string();
    EXPECT_EQ(eepromRead(*link.tesra, ui, image), kExitFailure) << "third generation";
    link.tesra->Address = 5;
    ASSERT_EQ(eepromRead(*link.tesra, ui, image), kExitOk);
    IniFile(image).writeString("EEPROM", "Zerocut", "-7");
    ASSERT_EQ(eepromWrite(*link.tesra, ui, image), kExitOk);
    EXPECT_EQ(link.device(5).serviceImage()[0x1029], 0xF9);
    EXPECT_EQ(eepromWrite(*link.tesra, ui, file), kExitFailure) << "not an image file";
    std::filesystem::remove_all(dir);
}

TEST(CliTransfers, SetupExportAndDiff) {
    SimLink link;
    TerminalUi ui("test", 0);
    const auto dir =
        std::filesystem::temp_directory_path() / ("getkelo_cli_setup_" + std::to_string(getpid()));
    const std::string file = (dir / "a/setup.dat").string();
    link.tesra->Address = 3;
    EXPECT_EQ(setupExport(*link.tesra, ui, file), kExitFailure) << "third generation";
    link.tesra->Address = 1;
    ASSERT_EQ(setupExport(*link.tesra, ui, file), kExitOk);
    std::ostringstream out;
    EXPECT_EQ(setupDiffFiles(file, file, out), kExitOk);
    EXPECT_EQ(setupDiffDevice(*link.tesra, ui, file, out), kExitOk);
    EXPECT_EQ(out.str(), "");
    link.demo.unlock(1);
    ASSERT_EQ(link.demo.write(1, makeDescriptor(0x5200, 1, kTypeUInt16), "9600"), "ok");
    EXPECT_EQ(setupDiffDevice(*link.tesra, ui, file, out), kExitFailure);
    EXPECT_EQ(out.str(), "[SETUP]\n  Baudrate  19200  9600\n");
    EXPECT_EQ(setupDiffFiles(file, (dir / "none.dat").string(), out), kExitUsage);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace getkelo::sim::test
