// getkelo-cli log against the real getkelo-sim, both as child processes over loopback TCP.
#include "sim_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace getkelo::e2e {
namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct LogText {
    std::vector<std::string> lines; // complete lines, without CR LF
    std::string rest;               // bytes after the last CR LF
};

LogText split(const std::string& text) {
    LogText out;
    size_t pos = 0, end;
    while ((end = text.find("\r\n", pos)) != std::string::npos) {
        out.lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    out.rest = text.substr(pos);
    return out;
}

int64_t msOfDay(const std::string& line) {
    int d, mo, y, h, mi, s, ms;
    if (std::sscanf(line.c_str(), "%d.%d.%d %d:%d:%d.%d", &d, &mo, &y, &h, &mi, &s, &ms) != 7)
        return -1;
    return ((h * 60 + mi) * 60 + s) * 1000LL + ms;
}

class CliLog : public ::testing::Test {
  protected:
    void SetUp() override {
        // The simulator is found through GETKELO_BUILD_DIR; without it, this build's.
        ::setenv("GETKELO_BUILD_DIR", GETKELO_LOGGER_BUILD_DIR, 0);
        if (::access((SimProcess::binDir() + "/getkelo-cli").c_str(), X_OK) != 0)
            GTEST_SKIP() << "getkelo-cli not built";
        char pattern[] = "/tmp/getkelo-clilog-XXXXXX";
        dir = ::mkdtemp(pattern);
    }
    void TearDown() override {
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        if (!dir.empty()) fs::remove_all(dir);
    }

    // Starts the logger on two devices; returns once both files exist.
    bool startLogging(int port) {
        std::vector<std::string> args{SimProcess::binDir() + "/getkelo-cli",
                                      "--tcp",
                                      "127.0.0.1:" + std::to_string(port),
                                      "--address",
                                      "1,2",
                                      "--delay-ms",
                                      "20",
                                      "log",
                                      "--dir",
                                      dir + "/logs",
                                      "--points",
                                      "set,total,temp,valve"};
        child = ::fork();
        if (child == 0) {
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            std::freopen("/dev/null", "w", stdout);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            if (files().size() == 2) return true;
            ::usleep(50'000);
        }
        return false;
    }
    std::vector<std::string> files() const {
        std::vector<std::string> out;
        if (fs::exists(dir + "/logs"))
            for (auto& e : fs::directory_iterator(dir + "/logs"))
                out.push_back(e.path());
        std::sort(out.begin(), out.end());
        return out;
    }
    int endWith(int sig) {
        ::kill(child, sig);
        int status = 0;
        ::waitpid(child, &status, 0);
        child = -1;
        return status;
    }

    std::string dir;
    pid_t child = -1;
};

TEST_F(CliLog, SigkillLeavesEveryLineButAtMostTheLastComplete) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    ASSERT_TRUE(startLogging(sim.tcpPort()));
    ::usleep(1'200'000);
    int status = endWith(SIGKILL);
    ASSERT_TRUE(WIFSIGNALED(status));
    for (const auto& f : files()) {
        LogText t = split(readAll(f));
        ASSERT_GE(t.lines.size(), 3u) << f; // header and at least two lines
        EXPECT_EQ(t.lines[0].rfind("Timestamp;Flow [", 0), 0u);
        for (size_t i = 1; i < t.lines.size(); ++i)
            EXPECT_EQ(std::count(t.lines[i].begin(), t.lines[i].end(), ';'), 5) << t.lines[i];
        EXPECT_EQ(t.rest.find('\n'), std::string::npos);
    }
}

TEST_F(CliLog, SigtermClosesCompleteFilesOnTheHalfSecondGrid) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    ASSERT_TRUE(startLogging(sim.tcpPort()));
    ::usleep(1'600'000);
    int status = endWith(SIGTERM);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    auto paths = files();
    ASSERT_EQ(paths.size(), 2u);
    std::vector<std::vector<std::string>> logs;
    for (const auto& f : paths) {
        LogText t = split(readAll(f));
        EXPECT_EQ(t.rest, "") << f;
        ASSERT_GE(t.lines.size(), 4u) << f;
        for (size_t i = 2; i < t.lines.size(); ++i)
            EXPECT_EQ(msOfDay(t.lines[i]) - msOfDay(t.lines[i - 1]), 500) << t.lines[i];
        logs.push_back(t.lines);
    }
    // One tick's lines of both devices carry the same time.
    EXPECT_EQ(logs[0][1].substr(0, 21), logs[1][1].substr(0, 21));
}

TEST_F(CliLog, FolderThatCannotBeMadeNamesNoFileAndExitsOne) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    std::ofstream(dir + "/plain") << "x";
    int status = -1;
    // The timeout only keeps a faulty build from hanging the test.
    const std::string out = SimProcess::run(
        {"/usr/bin/timeout", "-s", "TERM", "10", SimProcess::binDir() + "/getkelo-cli", "--tcp",
         "127.0.0.1:" + std::to_string(sim.tcpPort()), "--delay-ms", "0", "log", "--dir",
         dir + "/plain/logs"},
        &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, "");
}

} // namespace
} // namespace getkelo::e2e
