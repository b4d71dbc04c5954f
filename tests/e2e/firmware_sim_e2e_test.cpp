#include "sim_process.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace getkelo::e2e {
namespace {

std::string cli(const std::vector<std::string>& args, int* status) {
    std::vector<std::string> argv{SimProcess::binDir() + "/getkelo-cli"};
    argv.insert(argv.end(), args.begin(), args.end());
    return SimProcess::run(argv, status);
}

class FirmwareOverSim : public ::testing::Test {
  protected:
    std::string base = ::testing::TempDir() + "getkelo_fw_e2e_" + std::to_string(::getpid());
    std::string link = base + "_bus";
    std::string file = base + "_Tesra_4.3.07.rfw";

    void SetUp() override {
        if (::access((SimProcess::binDir() + "/getkelo-cli").c_str(), X_OK) != 0)
            GTEST_SKIP() << "getkelo-cli not built";
    }
    void TearDown() override { std::filesystem::remove(file); }
};

// More than a pseudo-terminal holds, so the writer must wait for XON; the bootloader holds
// XOFF for 300 ms in the middle and answers "UPDATE OK" only when every byte came once.
TEST_F(FirmwareOverSim, ImageThroughXonXoffOverThePseudoTerminalArrivesWhole) {
    int status = -1;
    SimProcess::run(
        {SimProcess::binDir() + "/getkelo-sim", "--make-firmware", file, "4.3.07", "150000"},
        &status);
    ASSERT_EQ(status, 0);
    SimProcess sim({"--pty", link});
    ASSERT_TRUE(sim.ready());
    EXPECT_EQ(sim.command("boot 1 xoff 300"), "ok boot 1 xoff 300");
    EXPECT_EQ(cli({"--port", link, "--address", "1", "firmware", file}, &status),
              "address 1 software 4.3.07\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cli({"--port", link, "--address", "1", "read", "0x00210131"}, &status), "1079\n");
}

TEST_F(FirmwareOverSim, EmptyFileLeavesTheDeviceAlone) {
    std::ofstream(file).close();
    SimProcess sim({"--pty", link});
    ASSERT_TRUE(sim.ready());
    int status = -1;
    cli({"--port", link, "--address", "1", "firmware", file}, &status);
    EXPECT_EQ(status, 1);
    // Not reset: it answers at once.
    EXPECT_EQ(cli({"--port", link, "--address", "1", "read", "0x00130131"}, &status), "1\n");
}

} // namespace
} // namespace getkelo::e2e
