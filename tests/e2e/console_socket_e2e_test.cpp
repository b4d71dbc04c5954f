#include "sim_process.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace getkelo::e2e {
namespace {

std::string cli(const std::vector<std::string>& args, int* status) {
    std::vector<std::string> argv{SimProcess::binDir() + "/getkelo-cli"};
    argv.insert(argv.end(), args.begin(), args.end());
    return SimProcess::run(argv, status);
}

// `getkelo-cli serve` as a child process, ready once it printed its "serving" line.
class ServeProcess {
  public:
    explicit ServeProcess(const std::vector<std::string>& args) {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        std::vector<std::string> all{SimProcess::binDir() + "/getkelo-cli"};
        all.insert(all.end(), args.begin(), args.end());
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            std::vector<char*> v;
            for (auto& a : all)
                v.push_back(a.data());
            v.push_back(nullptr);
            ::execv(v[0], v.data());
            ::_exit(127);
        }
        ::close(out[1]);
        pollfd p{out[0], POLLIN, 0};
        char buf[256] = {};
        if (::poll(&p, 1, 10000) > 0 && ::read(out[0], buf, sizeof buf - 1) > 0)
            ready_ = std::string(buf).rfind("serving ", 0) == 0;
        ::close(out[0]);
    }
    ~ServeProcess() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    bool ready() const { return ready_; }

  private:
    pid_t pid_ = -1;
    bool ready_ = false;
};

TEST(ConsoleSocketOverSim, WriteThroughTheServingConsoleAndPollSeesTheFlowFollow) {
    if (::access((SimProcess::binDir() + "/getkelo-cli").c_str(), X_OK) != 0)
        GTEST_SKIP() << "getkelo-cli not built";
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    const std::string tcp = "127.0.0.1:" + std::to_string(sim.tcpPort());
    const std::string dir =
        ::testing::TempDir() + "getkelo_console_socket_" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/GetKelo.ini") << "[Init]\r\nMulti=1\r\ntesra_1=1\r\ntesra_2=2\r\n";
    const std::string socket = dir + "/run/console.sock";
    const std::vector<std::string> serveArgs{"--tcp",    tcp,    "--config", dir,
                                             "--socket", socket, "serve"};
    ServeProcess serve(serveArgs);
    ASSERT_TRUE(serve.ready());

    int status = -1;
    cli(serveArgs, &status);
    EXPECT_EQ(status, 1) << "a second serve leaves the first one alone";

    const std::vector<std::string> console{"--console", "--socket", socket, "--address", "1"};
    auto with = [&console](std::vector<std::string> more) {
        std::vector<std::string> all = console;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    EXPECT_EQ(cli(with({"read", "0x001E0243"}), &status), "24010001\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cli(with({"write", "0x0006:float", "30"}), &status), "");
    EXPECT_EQ(status, 0);

    const std::string out = cli(with({"poll", "--count", "8", "--interval", "0.5"}), &status);
    EXPECT_EQ(status, 0) << out;
    std::istringstream lines(out);
    std::string line, last;
    int count = 0;
    while (std::getline(lines, line)) {
        EXPECT_EQ(line.rfind("1;", 0), 0u) << line;
        last = line;
        ++count;
    }
    EXPECT_EQ(count, 8);
    // address;flow;temperature;totalizer;setpoint;valve
    std::vector<std::string> fields;
    std::istringstream split(last);
    for (std::string f; std::getline(split, f, ';');)
        fields.push_back(f);
    ASSERT_GE(fields.size(), 5u) << last;
    EXPECT_NEAR(std::atof(fields[1].c_str()), 30, 3) << last;
    EXPECT_EQ(fields[4], "30") << last;
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace getkelo::e2e
