#include "sim_process.h"

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

TEST_F(CliOverSim, ReadsWritesAndSeesTheFlowFollow) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    std::string tcp = "127.0.0.1:" + std::to_string(sim.tcpPort());
    int status = -1;
    EXPECT_EQ(cli({"--tcp", tcp, "--address", "1", "read", "0x001E0243"}, &status), "24010001\n");
    EXPECT_EQ(status, 0);
    cli({"--tcp", tcp, "--address", "1", "write", "0x00060213", "50"}, &status);
    EXPECT_EQ(status, 0);
    ::usleep(2'000'000); // the flow lags the valve by about 0.7 s
    std::string flow = cli({"--tcp", tcp, "--address", "1", "read", "0x00000213"}, &status);
    EXPECT_EQ(status, 0);
    double f = std::atof(flow.c_str());
    EXPECT_GT(f, 45) << flow;
    EXPECT_LT(f, 52) << flow;
}

TEST_F(CliOverSim, FailedReadPrintsFehler) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    std::string tcp = "127.0.0.1:" + std::to_string(sim.tcpPort());
    int status = -1;
    ASSERT_EQ(sim.command("crc 2"), "ok crc 2");
    EXPECT_EQ(
        cli({"--tcp", tcp, "--address", "2", "--retry-limit", "15", "read", "0x001E0243"}, &status),
        "Fehler\n");
    EXPECT_EQ(status, 1);
    ASSERT_EQ(sim.command("none 2"), "ok none 2");
    EXPECT_EQ(cli({"--tcp", tcp, "--address", "2", "read", "0x001E0243"}, &status), "24010002\n");
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
