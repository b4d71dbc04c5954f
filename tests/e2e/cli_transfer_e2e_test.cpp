#include "sim_process.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace getkelo::e2e {
namespace {

// The quick ends of "lut" and "eeprom" through the real programs (the paced writes run on the
// virtual clock in cli_transfer_test).
class CliTransfersOverSim : public ::testing::Test {
  protected:
    std::string dir = ::testing::TempDir() + "getkelo_cli_transfers_" + std::to_string(getpid());
    void SetUp() override {
        if (::access((SimProcess::binDir() + "/getkelo-cli").c_str(), X_OK) != 0)
            GTEST_SKIP() << "getkelo-cli not built";
        ::mkdir(dir.c_str(), 0700);
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
    std::string cli(std::vector<std::string> args, int* status) {
        args.insert(args.begin(), SimProcess::binDir() + "/getkelo-cli");
        return SimProcess::run(args, status);
    }
    static std::string contents(const std::string& path) {
        std::stringstream ss;
        ss << std::ifstream(path).rdbuf();
        return ss.str();
    }
};

TEST_F(CliTransfersOverSim, TableIntoAFileAndImageIntoAFile) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    const std::string tcp = "127.0.0.1:" + std::to_string(sim.tcpPort());
    const std::string data = dir + "/23010003t03.dat";
    int status = -1;
    EXPECT_EQ(cli({"--tcp", tcp, "--address", "3", "--delay-ms", "0", "lut", "read", "--slot", "1",
                   "--file", data},
                  &status),
              "LOOKUP0 " + data + "\n");
    EXPECT_EQ(status, 0);
    EXPECT_NE(contents(data).find("FlowValues=0;"), std::string::npos);

    const std::string image = dir + "/first.eep";
    cli({"--tcp", tcp, "--address", "5", "--delay-ms", "0", "eeprom", "read", image}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(contents(image).find("Serial=21010005"), std::string::npos);

    // A table of twelve values never reaches the device.
    std::ofstream(data, std::ios::app) << "[LOOKUP1]\r\nFlowValues=1;2;3;4;5;6;7;8;9;10;11;12\r\n";
    cli({"--tcp", tcp, "--address", "3", "lut", "write", "--slot", "0", "--section", "LOOKUP1",
         "--file", data},
        &status);
    EXPECT_EQ(status, 1);
    cli({"--tcp", tcp, "lut", "write", "--slot", "0", "--file", data}, &status);
    EXPECT_EQ(status, 2) << "no section named";
}

} // namespace
} // namespace getkelo::e2e
