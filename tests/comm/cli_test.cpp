#include "cli/cli_context.h"
#include "cli/value_text.h"
#include "loopback_gateway.h"
#include "scripted_peer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace getkelo::cli {
namespace {

using test::Bytes;
using test::LoopbackGateway;
using test::readAnswer;
using test::withCrc;
using test::writeEcho;

TEST(CliParse, Descriptors) {
    struct Case {
        const char* text;
        bool ok;
        RegisterDescriptor want;
    };
    const Case cases[] = {
        {"0x00060213", true, 0x00060213},
        {"0x0006:float", true, 0x00060213},
        {"6:float", true, 0x00060213},
        {"0x0013:uint16", true, 0x00130131},
        {"0x001E:uint32", true, 0x001E0243},
        {"0x000C:int16", true, 0x000C0121},
        {"0x0001:byte", true, 0x00010150},
        {"0x6046:text8", true, 0x60460407},
        {"0x5000:text50", true, 0x50001960},
        {"0x00060299", false, 0}, // unknown type code
        {"0x00060013", false, 0}, // no registers
        {"0x10000:float", false, 0},
        {"0x0006:double", false, 0},
        {"0x0006:", false, 0},
        {"setpoint", true, 0x00060213}, // a register name
        {"setpoints", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        RegisterDescriptor d = 0;
        std::string error;
        EXPECT_EQ(parseDescriptor(c.text, d, error), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(d, c.want) << c.text;
        else
            EXPECT_FALSE(error.empty()) << c.text;
    }
}

TEST(CliParse, AddressLists) {
    struct Case {
        const char* text;
        bool ok;
        std::vector<int> want;
    };
    const Case cases[] = {
        {"1", true, {1}},
        {"1,2,5", true, {1, 2, 5}},
        {"3-6", true, {3, 4, 5, 6}},
        {"7,1-2,7", true, {7, 1, 2}},
        {"247", true, {247}},
        {"0", false, {}},
        {"248", false, {}},
        {"1,,2", false, {}},
        {"5-3", false, {}},
        {"", false, {}},
        {"a", false, {}},
        {"1, 2", false, {}},
    };
    for (const auto& c : cases) {
        std::vector<int> out{99};
        std::string error;
        EXPECT_EQ(parseAddressList(c.text, out, error), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(out, c.want) << c.text;
        else
            EXPECT_EQ(out, std::vector<int>{99}) << "unchanged on error: " << c.text;
    }
}

TEST(CliParse, HostPort) {
    std::string host;
    uint16_t port = 0;
    EXPECT_TRUE(parseHostPort("192.168.0.10:502", host, port));
    EXPECT_EQ(host, "192.168.0.10");
    EXPECT_EQ(port, 502);
    EXPECT_TRUE(parseHostPort("localhost:5020", host, port));
    EXPECT_EQ(host, "127.0.0.1");
    for (const char* bad :
         {"192.168.0.10", "1.2.3:502", "1.2.3.4:0", "1.2.3.4:65536", ":502", "gateway:502"})
        EXPECT_FALSE(parseHostPort(bad, host, port)) << bad;
}

TEST(CliParse, WriteValuesMustFitTheRegisterType) {
    struct Case {
        uint8_t type;
        const char* text;
        const char* wire; // nullptr: refused
    };
    const Case cases[] = {
        {kTypeFloat, "-2,5", "-2,5"},
        {kTypeFloat, "nan", "nan"},
        {kTypeFloat, "-INF", "-INF"},
        {kTypeFloat, "-3.4e38", "-3.4e38"},
        {kTypeFloat, "abc", nullptr},
        {kTypeFloat, "", nullptr},
        {kTypeFloat, "5O", nullptr},
        {kTypeFloat, "1e40", nullptr},
        {kTypeInt16, "-32768", "-32768"},
        {kTypeInt16, "32768", nullptr},
        {kTypeUInt16, "0x10", "16"},
        {kTypeUInt16, "1e3", "1000"},
        {kTypeUInt16, "1.5", nullptr},
        {kTypeUInt16, "-1", nullptr},
        {kTypeUInt32, "4294967295", "4294967295"},
        {kTypeUInt32, "4294967296", nullptr},
        {kTypeByte, "256", nullptr},
        {kTypeText8, "1234567", "1234567"},
        {kTypeText8, "12345678", nullptr},
        {kTypeText50, "", ""},
    };
    for (const Case& c : cases) {
        std::string wire, error;
        const bool ok = checkValueText(c.type, c.text, wire, error);
        EXPECT_EQ(ok, c.wire != nullptr) << c.text << ": " << error;
        if (ok) {
            EXPECT_EQ(wire, c.wire ? c.wire : "") << c.text;
        } else {
            EXPECT_NE(error.find(c.text), std::string::npos) << error;
        }
    }
}

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

// Runs the real program, as a script would.
CliRun runCli(std::vector<std::string> args) {
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&fa, errPipe[1], 2);
    args.insert(args.begin(), GETKELO_CLI_PATH);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // A settings folder of its own, so the user's real settings are never read.
    std::string config = "XDG_CONFIG_HOME=/nonexistent-getkelo-test";
    std::vector<char*> env{config.data(), nullptr};
    pid_t pid;
    CliRun run;
    int spawned = ::posix_spawn(&pid, GETKELO_CLI_PATH, &fa, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&fa);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (spawned != 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        run.err = std::string("cannot start ") + GETKELO_CLI_PATH + "\n";
        return run;
    }
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    while (open > 0 && ::poll(fds, 2, 20000) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !fds[i].revents) continue;
            char buf[512];
            ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                (i == 0 ? run.out : run.err).append(buf, static_cast<size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string tcpOption(const LoopbackGateway& gw) {
    return "--tcp=127.0.0.1:" + std::to_string(gw.port());
}

TEST(CliProgram, ReadPrintsTheValue) {
    LoopbackGateway gw;
    gw.serve(1, readAnswer(3, {0x42, 0xC8, 0x00, 0x00}));
    CliRun r =
        runCli({tcpOption(gw), "--address", "3,4", "--delay-ms", "0", "read", "0x0006:float"});
    gw.join();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "100\n");
    ASSERT_EQ(gw.received.size(), 1u);
    EXPECT_EQ(gw.received[0], withCrc({3, 0x03, 0x00, 0x06, 0x00, 0x02}));
}

TEST(CliProgram, TraceWritesEachFrameDecodedToStandardError) {
    LoopbackGateway gw;
    gw.serve(1, readAnswer(3, {0x42, 0xC8, 0x00, 0x00}));
    CliRun r = runCli(
        {tcpOption(gw), "--trace", "--address", "3", "--delay-ms", "0", "read", "0x0006:float"});
    gw.join();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "100\n");
    const size_t tx =
        r.err.find(" TX 03 03 00 06 00 02 25 E8 | slave 3 read 0x0006 n=2 Setpoint\n");
    const size_t rx = r.err.find(" RX 03 03 04 42 C8 00 00 ");
    ASSERT_NE(tx, std::string::npos) << r.err;
    ASSERT_NE(rx, std::string::npos) << r.err;
    EXPECT_LT(tx, rx);
    EXPECT_NE(r.err.find("| slave 3 answer 4 bytes, CRC ok: Setpoint=100 -> ok, ", rx),
              std::string::npos)
        << r.err;
}

TEST(CliProgram, FailedReadPrintsFehlerAndExitsOne) {
    LoopbackGateway gw;
    gw.serve(1, Bytes{}); // the device stays silent
    CliRun r =
        runCli({tcpOption(gw), "--retry-limit", "3", "--delay-ms", "0", "read", "0x00060213"});
    gw.join();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Fehler\n");
    EXPECT_NE(r.err.find("no answer"), std::string::npos) << r.err;
}

TEST(CliProgram, WriteAndBroadcast) {
    LoopbackGateway gw;
    gw.serve(1, [](const Bytes& req) { return writeEcho(req); });
    CliRun r = runCli({tcpOption(gw), "--address", "9", "write", "0x0006:float", "-2,5"});
    gw.join();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(gw.received.size(), 1u);
    EXPECT_EQ(gw.received[0],
              withCrc({9, 0x10, 0x00, 0x06, 0x00, 0x02, 0x04, 0xC0, 0x20, 0x00, 0x00}));

    gw.serve(1, Bytes{});
    r = runCli({tcpOption(gw), "write", "0x002B:uint32", "0", "--broadcast"});
    gw.join();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(gw.received.size(), 2u);
    EXPECT_EQ(gw.received[1][0], 0);
}

TEST(CliProgram, RefusedWriteNamesTheExceptionAndExitsOne) {
    LoopbackGateway gw;
    gw.serve(1, [](const Bytes& req) { return withCrc({req[0], 0x90, 0x02}); });
    CliRun r = runCli({tcpOption(gw), "write", "0x7000:uint16", "1"});
    gw.join();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("refused by the device: exception 02, illegal data address"),
              std::string::npos)
        << r.err;
}

TEST(CliProgram, BadArgumentsGiveOneLineAndExitTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frob"},
        {"read"},
        {"read", "0x0006:double"},
        {"read", "0x00160160"}, // a text of 25 registers over one
        {"read", "0x0000FF31"}, // more registers than one read carries
        {"--address", "0", "read", "0x00060213"},
        {"--tcp", "1.2.3:502", "read", "0x00060213"},
        {"--tcp", "127.0.0.1:502", "--com", "2", "read", "0x00060213"},
        {"--delay-ms", "300", "read", "0x00060213"},
        {"write", "0x00060213", "1", "--frob"},
        {"--retry-limit"},
        // Refused before the bus is opened (nothing listens there: opening would exit 1).
        {"--tcp", "127.0.0.1:9", "write", "0x0006:float", "abc"},
        {"--tcp", "127.0.0.1:9", "write", "0x0006:float", "1e40"},
        {"--tcp", "127.0.0.1:9", "write", "6:uint16", "1.5"},
    };
    for (const auto& args : cases) {
        CliRun r = runCli(args);
        std::string joined;
        for (auto& a : args)
            joined += a + " ";
        EXPECT_EQ(r.exitCode, 2) << joined;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << joined << r.err;
    }
}

TEST(CliProgram, UnopenablePortGivesOneLineAndExitsOne) {
    CliRun r = runCli({"--port", "/nonexistent/ttyUSB9", "read", "0x00060213"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("ttyUSB9"), std::string::npos) << r.err;
}

TEST(CliProgram, StoredConnectionIsNamedAndAPortBeyondSixteenBitsRefused) {
    char pattern[] = "/tmp/getkelo-cli-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string ini = dir + "/GetKelo.ini";
    std::ofstream(ini) << "[Tesra]\nTcpIp=1\nIP=127.0.0.1\nPort=99533\n";
    CliRun r = runCli({"--config", dir, "read", "0x00060213"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("[Tesra] Port=99533"), std::string::npos) << r.err;
    LoopbackGateway gw;
    gw.serve(1, Bytes{});
    const std::string port = std::to_string(gw.port());
    std::ofstream(ini) << "[Tesra]\nTcpIp=1\nIP=127.0.0.1\nPort=" << port << "\n";
    r = runCli({"--config", dir, "--retry-limit", "3", "read", "0x00060213"});
    gw.join();
    EXPECT_NE(r.err.find("TCP 127.0.0.1:" + port + ", the connection of " + ini), std::string::npos)
        << r.err;
    std::filesystem::remove_all(dir);
}

TEST(CliProgram, HelpNamesEveryOption) {
    CliRun r = runCli({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* word :
         {"--tcp", "--com", "--port", "--address", "--retry-limit", "--delay-ms", "--config",
          "--trace", "--broadcast", "read", "write", "scan", "poll", "log"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

} // namespace
} // namespace getkelo::cli
