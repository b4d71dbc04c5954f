#include "base/clock.h"
#include "comm/register_catalogue.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "comm/value_codec.h"
#include "sim_process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace getkelo::e2e {
namespace {

// Short answer windows keep the fault cases fast: 15 empty reads of 10 ms.
constexpr int kRetryLimit = 15;

TConnectionSettings tcpSettings(int port) {
    TConnectionSettings s;
    std::strcpy(s.Address, "127.0.0.1");
    s.Port = static_cast<uint16_t>(port);
    return s;
}

struct Link {
    TComm comm{systemClock()};
    std::unique_ptr<TTesra> tesra;
    explicit Link(const TConnectionSettings& s, const std::string& comPath = "") {
        comm.RetryLimit = kRetryLimit;
        if (!comPath.empty()) comm.SetComPortPath(s.Port, comPath);
        tesra = std::make_unique<TTesra>(comm, s);
        tesra->DelayMs = 0;
    }
    int readIdentity(uint8_t address) {
        uint8_t buf[kFrameBufferSize];
        tesra->Address = address;
        return tesra->ReadRegisters(buf, 0x001E, 9);
    }
};

TEST(CommOverSimTcp, EveryFaultGivesItsResultAndTheNextExchangeIsClean) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    Link l(tcpSettings(sim.tcpPort()));
    struct Row {
        const char* fault;
        const char* clear;
        int result;
    } rows[] = {
        {"silent 1", "none 1", kResultNoAnswer}, {"crc 1", "none 1", kResultBadAnswer},
        {"short 1", "none 1", kResultShort},     {"late 1 20", "none 1", kResultOk},
        {"unplug", "plug", kResultNoAnswer},
    };
    for (auto& r : rows) {
        ASSERT_EQ(sim.command(r.fault).rfind("ok", 0), 0u) << r.fault;
        EXPECT_EQ(l.readIdentity(1), r.result) << r.fault;
        ASSERT_EQ(sim.command(r.clear).rfind("ok", 0), 0u) << r.clear;
        EXPECT_EQ(l.readIdentity(1), kResultOk) << "after " << r.fault;
        l.tesra->Address = 1;
        EXPECT_EQ(l.tesra->ReadValue(reg::kSerialNumber), "24010001") << "after " << r.fault;
    }
    // A fault on one device leaves the others alone.
    sim.command("silent 2");
    EXPECT_EQ(l.readIdentity(2), kResultNoAnswer);
    EXPECT_EQ(l.readIdentity(3), kResultOk);
    sim.command("none 2");
}

// An answer later than the window arrives while the next read of the same length waits:
// that read gives "Fehler" or its own value, never the late one.
TEST(CommOverSimTcp, LateAnswerIsNotTakenForTheNextRead) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    Link l(tcpSettings(sim.tcpPort()));
    l.tesra->Address = 1;
    ASSERT_EQ(sim.command("late 1 400"), "ok late 1 400");
    EXPECT_EQ(l.tesra->ReadValue(reg::kTemperature), "Fehler");
    ASSERT_EQ(sim.command("none 1"), "ok none 1");
    std::string range = "Fehler";
    for (int i = 0; i < 4 && range == "Fehler"; ++i)
        range = l.tesra->ReadValue(reg::kRange);
    EXPECT_EQ(range, "100");
}

TEST(CommOverSimTcp, GatewayRestartIsSurvived) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    Link l(tcpSettings(sim.tcpPort()));
    EXPECT_EQ(l.readIdentity(1), kResultOk);
    EXPECT_EQ(sim.command("drop"), "ok drop");
    // The connection comes back within a few exchanges (reconnects are paced at 1 s).
    int result = -1;
    for (int i = 0; i < 8 && result != kResultOk; ++i)
        result = l.readIdentity(1);
    EXPECT_EQ(result, kResultOk);
}

TEST(CommOverSimPty, ServesTheSerialChannel) {
    std::string link = ::testing::TempDir() + "getkelo_sim_comm_pty_" + std::to_string(::getpid());
    SimProcess sim({"--pty", link});
    ASSERT_TRUE(sim.ready());
    EXPECT_EQ(::access(link.c_str(), F_OK), 0);
    TConnectionSettings s; // "COM" 9, mapped to the link
    s.Port = 9;
    for (int client = 0; client < 2; ++client) { // the next client after the first closed
        Link l(s, link);
        ASSERT_TRUE(l.tesra->isOpen()) << l.comm.LastOpenError;
        EXPECT_FALSE(l.tesra->IsTcp);
        l.tesra->Address = 3;
        EXPECT_EQ(l.tesra->ReadValue(reg::kSerialNumber), "23010003") << "client " << client;
        sim.command("crc 3");
        EXPECT_EQ(l.readIdentity(3), kResultBadAnswer);
        sim.command("none 3");
        EXPECT_EQ(l.readIdentity(3), kResultOk);
    }
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_NE(::access(link.c_str(), F_OK), 0) << "the link goes with the simulator";
}

} // namespace
} // namespace getkelo::e2e

namespace getkelo::e2e {
namespace {

long contextSwitches(pid_t pid) {
    FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (!f) return -1;
    char line[256];
    long total = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strstr(line, "ctxt_switches:")) total += std::atol(std::strchr(line, ':') + 1);
    std::fclose(f);
    return total;
}

// Idle means asleep in poll(): no timer, no busy wait, also with a client connected and a
// pseudo-terminal that nobody has open (its master then reports a hang-up without end).
TEST(SimIdle, DoesNotWakeUpWithoutRequests) {
    std::string link = ::testing::TempDir() + "getkelo_sim_idle_pty_" + std::to_string(::getpid());
    SimProcess sim({"--tcp", "127.0.0.1:0", "--pty", link});
    ASSERT_TRUE(sim.ready());
    Link l(tcpSettings(sim.tcpPort()));
    ASSERT_EQ(l.readIdentity(1), kResultOk);
    ::usleep(50'000);
    long before = contextSwitches(sim.pid());
    ::usleep(400'000);
    EXPECT_LE(contextSwitches(sim.pid()) - before, 1);
}

} // namespace
} // namespace getkelo::e2e
