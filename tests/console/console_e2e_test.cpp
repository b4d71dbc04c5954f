// The CLI's scan and poll and the console logic against the getkelo-sim program, over a
// loopback TCP port and over a pseudo-terminal, on the real clock.
#include "console_fixture.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace getkelo::test {
namespace {

std::string binary(const std::string& name) {
    const char* build = std::getenv("GETKELO_BUILD_DIR");
    return (build ? std::string(build) + "/bin" : std::string(GETKELO_BIN_DIR)) + "/" + name;
}

// getkelo-sim as a child process; its first output lines tell where it listens.
class SimProcess {
  public:
    SimProcess(const std::string& busFile, const std::string& ptyLink) {
        int out[2], in[2];
        if (pipe(out) != 0 || pipe(in) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            dup2(in[0], 0);
            close(out[0]);
            close(in[1]);
            std::string sim = binary("getkelo-sim");
            execl(sim.c_str(), sim.c_str(), "--tcp", "127.0.0.1:0", "--pty", ptyLink.c_str(),
                  "--bus", busFile.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        close(in[0]);
        stdout_ = out[0];
        stdin_ = in[1];
        for (int i = 0; i < 2; ++i) {
            std::string l = readLine();
            if (l.rfind("tcp ", 0) == 0) tcp_ = l.substr(4);
            if (l.rfind("pty ", 0) == 0) pty_ = ptyLink;
        }
    }
    ~SimProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (stdout_ >= 0) close(stdout_);
        if (stdin_ >= 0) close(stdin_);
    }
    const std::string& tcp() const { return tcp_; }
    const std::string& pty() const { return pty_; }
    // A fault command on the simulator's standard input ("silent 2", "plug", ...).
    void command(const std::string& c) {
        std::string l = c + "\n";
        [[maybe_unused]] auto n = write(stdin_, l.data(), l.size());
        readLine(); // its acknowledgement
    }

  private:
    std::string readLine() {
        std::string l;
        char c;
        pollfd p{stdout_, POLLIN, 0};
        while (poll(&p, 1, 5000) > 0 && read(stdout_, &c, 1) == 1 && c != '\n')
            l += c;
        return l;
    }
    pid_t pid_ = -1;
    int stdout_ = -1, stdin_ = -1;
    std::string tcp_, pty_;
};

// Runs getkelo-cli; returns its standard output, exit code in code.
std::string runCli(const std::string& args, int& code) {
    std::string cmd = binary("getkelo-cli") + " " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    int status = pclose(p);
    code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> v;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        v.push_back(l);
    return v;
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
        sim = std::make_unique<SimProcess>(dir.file("bus.ini"), dir.file("ttySIM"));
        ASSERT_FALSE(sim->tcp().empty());
        ASSERT_FALSE(sim->pty().empty());
        cfg = "--config " + dir.path() + " --delay-ms 0 ";
    }
    TempDir dir;
    std::unique_ptr<SimProcess> sim;
    std::string cfg;
};

TEST_F(SimProgramTest, CliScanOverTcpListsTheDevicesWithTheirIdentity) {
    int code = -1;
    auto out = lines(runCli(cfg + "--tcp " + sim->tcp() + " scan --from 1 --to 4", code));
    EXPECT_EQ(code, 0);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].substr(0, 11), "1\t24010001\t");
    EXPECT_NE(out[0].find("\tln/min\t4.1.00\t4.3.15"), std::string::npos);
    EXPECT_EQ(out[1], "3\t22010003\tGKM-2N2A-A1S0000\tAr\t500\tmln/min\t2.1.00\t2.3.01");
}

TEST_F(SimProgramTest, CliPollOverThePseudoTerminalPrintsOneLinePerDeviceAndRound) {
    int code = -1;
    auto out = lines(
        runCli(cfg + "--port " + sim->pty() + " --address 1,3 poll --count 2 --interval 0", code));
    EXPECT_EQ(code, 0);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].rfind("1;", 0), 0u);
    EXPECT_EQ(out[1].rfind("3;", 0), 0u);
    EXPECT_EQ(std::count(out[0].begin(), out[0].end(), ';'), 5);
    EXPECT_EQ(out[1].substr(out[1].size() - 2), ";;"); // no setpoint, no valve for a meter
    sim->command("silent 3");
    out = lines(runCli(cfg + "--retry-limit 15 --port " + sim->pty() + " --address 3 poll", code));
    EXPECT_EQ(code, 1);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], "3;Timeout!;;;;");
}

TEST_F(SimProgramTest, CliPollAllScansFirst) {
    int code = -1;
    auto out = lines(runCli(cfg + "--tcp " + sim->tcp() + " poll --all --to 3", code));
    EXPECT_EQ(code, 0);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].rfind("1;", 0), 0u);
    EXPECT_EQ(out[1].rfind("3;", 0), 0u);
}

TEST_F(SimProgramTest, ConsoleFindsStoredDevicesAndPollsThemOverTcp) {
    auto colon = sim->tcp().rfind(':');
    writeText(dir.file("GetKelo.ini"), "[Tesra]\nTcpIp=1\nIP=" + sim->tcp().substr(0, colon) +
                                           "\nPort=" + sim->tcp().substr(colon + 1) +
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
