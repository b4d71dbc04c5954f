#include "sim_process.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace getkelo::e2e {
namespace {

std::string cli(const std::vector<std::string>& args, int* status) {
    std::vector<std::string> argv{SimProcess::binDir() + "/getkelo-cli"};
    argv.insert(argv.end(), args.begin(), args.end());
    return SimProcess::run(argv, status);
}

class CliOverSim : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::access((SimProcess::binDir() + "/getkelo-cli").c_str(), X_OK) != 0)
            GTEST_SKIP() << "getkelo-cli not built";
    }
};

// A gas text with a line feed and a tab must not forge a second device line in the scan.
TEST_F(CliOverSim, WritesAndScansDeviceTextsOnOneLine) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    const std::vector<std::string> bus{"--tcp", "127.0.0.1:" + std::to_string(sim.tcpPort()),
                                       "--address", "1"};
    auto run = [&bus](std::vector<std::string> args, int* status) {
        args.insert(args.begin(), bus.begin(), bus.end());
        return cli(args, status);
    };
    int status = -1;
    EXPECT_EQ(run({"read", "0x001E0243"}, &status), "24010001\n");
    EXPECT_EQ(status, 0);
    run({"write", "0x002B:uint32", "274810365"}, &status); // unlock
    run({"write", "0x001A:text8", "A\nB\tC"}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(run({"read", "0x001A:text8"}, &status), "A\\nB\\tC\n");
    std::string scan = run({"scan", "--from", "1", "--to", "1"}, &status);
    EXPECT_EQ(std::count(scan.begin(), scan.end(), '\n'), 1) << scan;
    EXPECT_NE(scan.find("\tA\\nB\\tC\t"), std::string::npos) << scan;
}

TEST_F(CliOverSim, ReadsOverThePseudoTerminal) {
    std::string link = ::testing::TempDir() + "getkelo_sim_cli_pty_" + std::to_string(::getpid());
    SimProcess sim({"--pty", link});
    ASSERT_TRUE(sim.ready());
    int status = -1;
    EXPECT_EQ(cli({"--port", link, "--address", "4", "read", "0x001E0243"}, &status), "22010004\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cli({"--port", link, "--address", "4", "read", "0x40480407"}, &status), "ln\n");
}

TEST_F(CliOverSim, SimulatorHelpIsNoErrorAWrongArgumentIs) {
    int status = -1;
    const std::string sim = SimProcess::binDir() + "/getkelo-sim";
    EXPECT_EQ(SimProcess::run({sim, "--help"}, &status).rfind("usage: getkelo-sim", 0), 0u);
    EXPECT_EQ(status, 0);
    SimProcess::run({sim, "--nonsense"}, &status);
    EXPECT_EQ(status, 2);
}

} // namespace
} // namespace getkelo::e2e
