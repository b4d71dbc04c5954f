// The CLI's scan and poll and the console logic against the getkelo-sim program, over a
// loopback TCP port and over a pseudo-terminal, on the real clock.
#include "console_fixture.h"
#include "sim_process.h"

#include <algorithm>
#include <sstream>
#include <unistd.h>

namespace getkelo::test {
namespace {

using e2e::SimProcess;

std::string binary(const std::string& name) {
    return SimProcess::binDir() + "/" + name;
}

// Runs getkelo-cli with whitespace-separated arguments; returns its output lines.
std::vector<std::string> runCli(const std::string& args, int& code) {
    std::vector<std::string> argv{binary("getkelo-cli")};
    std::istringstream in(args);
    for (std::string a; in >> a;)
        argv.push_back(a);
    std::vector<std::string> v;
    std::istringstream out(SimProcess::run(argv, &code));
    for (std::string l; std::getline(out, l);)
        v.push_back(l);
    return v;
}

// A write of the range (a protected register) to device 1; the exit status in `code` and
// what the CLI said on stderr.
std::string writeProtected(const std::string& link, int& code) {
    const std::string cmd =
        binary("getkelo-cli") + " " + link + " --address 1 write 0x0014:float 200 2>&1 >/dev/null";
    return SimProcess::run({"/bin/sh", "-c", cmd}, &code);
}

class SimProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (access(binary("getkelo-sim").c_str(), X_OK) != 0 ||
            access(binary("getkelo-cli").c_str(), X_OK) != 0)
            GTEST_SKIP() << "getkelo-sim or getkelo-cli not built";
        writeText(dir.file("bus.ini"),
                  "[D1]\nAddress=1\nGeneration=4\nSerial=24010001\nFunctions=0x03\n"
                  "[D3]\nAddress=3\nGeneration=2\nSerial=22010003\nFunctions=0x02\n"
                  "Unit=mln/min\nRange=500\nGas=Ar\n");
        pty = dir.file("ttySIM");
        sim = std::make_unique<SimProcess>(std::vector<std::string>{
            "--tcp", "127.0.0.1:0", "--pty", pty, "--bus", dir.file("bus.ini")});
        ASSERT_TRUE(sim->ready());
        tcp = "127.0.0.1:" + std::to_string(sim->tcpPort());
        cfg = "--config " + dir.path() + " --delay-ms 0 ";
    }
    TempDir dir;
    std::unique_ptr<SimProcess> sim;
    std::string tcp, pty;
    std::string cfg;
};

TEST_F(SimProgramTest, CliScanOverTcpListsTheDevicesWithTheirIdentity) {
    int code = -1;
    auto out = runCli(cfg + "--tcp " + tcp + " scan --from 1 --to 4", code);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].substr(0, 11), "1\t24010001\t");
    EXPECT_NE(out[0].find("\tln/min\t4.1.00\t4.3.15"), std::string::npos);
    EXPECT_EQ(out[1], "3\t22010003\tGKM-2N2A-A1S0000\tAr\t500\tmln/min\t2.1.00\t2.3.01");
    // The scan unlocked what it found and locked it again at its end.
    EXPECT_NE(writeProtected(cfg + "--tcp " + tcp, code).find("exception 04"), std::string::npos);
    EXPECT_EQ(code, 1);
}

TEST_F(SimProgramTest, CliScanShowsProgressOnATerminalAndSaysWhenNothingIsFound) {
    int code = -1;
    const std::string scan = binary("getkelo-cli") + " " + cfg + "--tcp " + tcp + " scan ";
    // stderr is no terminal: no progress, one line for the empty range.
    std::string err =
        SimProcess::run({"/bin/sh", "-c", scan + "--from 5 --to 6 2>&1 >/dev/null"}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(err, "getkelo-cli: scan: no device found at addresses 5..6 on TCP " + tcp + "\n");
    // On a terminal the progress line is redrawn in place and taken away before each device.
    if (access("/usr/bin/script", X_OK) != 0) GTEST_SKIP() << "no script(1) for a terminal";
    const std::string shown =
        SimProcess::run({"/usr/bin/script", "-qec", scan + "--from 1 --to 3", "/dev/null"}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_NE(shown.find("\r\033[Kscan: address 2 (1..3), 1 device found"), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("\r\033[K3\t22010003\t"), std::string::npos) << shown;
}

TEST_F(SimProgramTest, CliScanStoppedBySigintLocksTheDevicesAgain) {
    int code = -1;
    // About 40 s for the whole bus; SIGINT after a second, when device 1 is long found.
    SimProcess::run({"/bin/sh", "-c",
                     "timeout --preserve-status -s INT 1 " + binary("getkelo-cli") + " " + cfg +
                         "--tcp " + tcp + " scan >/dev/null"},
                    &code);
    EXPECT_EQ(code, 130);
    EXPECT_NE(writeProtected(cfg + "--tcp " + tcp, code).find("exception 04"), std::string::npos);
}

TEST_F(SimProgramTest, CliPollOverThePseudoTerminalPrintsOneLinePerDeviceAndRound) {
    int code = -1;
    auto out = runCli(cfg + "--port " + pty + " --address 1,3 poll --count 2 --interval 0", code);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].rfind("1;", 0), 0u);
    EXPECT_EQ(out[1].rfind("3;", 0), 0u);
    EXPECT_EQ(std::count(out[0].begin(), out[0].end(), ';'), 5);
    EXPECT_EQ(out[1].substr(out[1].size() - 2), ";;"); // no setpoint, no valve for a meter
    EXPECT_NE(writeProtected(cfg + "--port " + pty, code).find("exception 04"), std::string::npos);
    sim->command("silent 3");
    out = runCli(cfg + "--retry-limit 15 --port " + pty + " --address 3 poll", code);
    EXPECT_EQ(code, 1);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], "3;Timeout!;;;;");
}

TEST_F(SimProgramTest, CliPollAllScansFirst) {
    int code = -1;
    auto out = runCli(cfg + "--tcp " + tcp + " poll --all --to 3", code);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].rfind("1;", 0), 0u);
    EXPECT_EQ(out[1].rfind("3;", 0), 0u);
}

TEST_F(SimProgramTest, ConsoleFindsStoredDevicesAndPollsThemOverTcp) {
    writeText(dir.file("GetKelo.ini"),
              "[Tesra]\nTcpIp=1\nIP=127.0.0.1\nPort=" + std::to_string(sim->tcpPort()) +
                  "\n[Init]\nMulti=1\ntesra_1=1\ntesra_2=3\n");
    TComm comm(systemClock());
    FakeConsoleView view;
    ScriptedUi ui;
    MapTextSource texts = germanTexts();
    Console console(comm, view, ui, texts,
                    ConsolePaths{dir.file("GetKelo.ini"), dir.path(), dir.path()});
    // Real time: no pause after reads, and a short wait for silence.
    console.setConnectionFactory([](TComm& c) {
        auto t = std::make_unique<TTesra>(c, c.ReadConnectionSettings("Tesra"));
        t->DelayMs = 0;
        return t;
    });
    console.FormShow();
    comm.RetryLimit = 15;
    ASSERT_EQ(console.devices().count(), 2);
    EXPECT_EQ(console.devices().cell(2, kColSerial), "22010003");
    console.TimerTimer();
    EXPECT_NE(console.devices().cell(1, kColFlow), "");
    EXPECT_EQ(console.devices().cell(1, kColFlow).find('!'), std::string::npos);
    EXPECT_EQ(console.devices().cell(2, kColFlow).find('!'), std::string::npos);
    sim->command("unplug");
    console.TimerTimer();
    EXPECT_EQ(console.devices().cell(1, kColFlow), "Timeout!");
    EXPECT_EQ(console.devices().cell(1, kColTemperature).back(), '|');
    sim->command("plug");
    console.TimerTimer();
    EXPECT_EQ(console.devices().cell(1, kColTemperature).find('|'), std::string::npos);
    console.BeendenMnuClick();
}

} // namespace
} // namespace getkelo::test
