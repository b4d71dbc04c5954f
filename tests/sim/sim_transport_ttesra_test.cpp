#include "comm/register_catalogue.h"
#include "sim/fault_commands.h"
#include "sim_link.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

TEST(SimTransportWithTTesra, FlowReachesTheSetpointInVirtualSeconds) {
    SimLink l;
    auto realStart = std::chrono::steady_clock::now();
    l.tesra->Address = 1;
    ASSERT_EQ(l.tesra->WriteValue(reg::kSetpoint, "50", kWriteAddressed), 0);
    l.demo.clock.sleepMs(5000);
    EXPECT_NEAR(std::atof(l.tesra->ReadValue(reg::kFlow).c_str()), 50, 0.5);
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(1));
}

TEST(SimTransportWithTTesra, SilentDeviceCostsEightSendsOfVirtualTime) {
    SimLink l;
    runFaultCommand(l.demo.bus, "silent 2");
    l.tesra->Address = 2;
    size_t before = l.wire->sent.size();
    int64_t start = l.demo.clock.nowMs();
    EXPECT_EQ(l.tesra->WriteValue(reg::kSetpoint, "5", kWriteAddressed), 1);
    EXPECT_EQ(l.wire->sent.size() - before, 8u);
    EXPECT_GT(l.demo.clock.nowMs() - start, 8 * 1000) << "eight full answer windows";
    // An exception ends the write after one send.
    l.tesra->Address = 1;
    before = l.wire->sent.size();
    EXPECT_EQ(l.tesra->WriteValue(reg::kRange, "5", kWriteAddressed), 1);
    EXPECT_EQ(l.wire->sent.size() - before, 1u);
}

// A device that answers after the window: its late answer reaches the next read of the same
// length. Every read gives its own value or "Fehler", never the one asked for before.
TEST(SimTransportWithTTesra, LateAnswerIsNeverTakenForTheNextRead) {
    SimLink l;
    l.tesra->Address = 1;
    runFaultCommand(l.demo.bus, "late 1 1200");
    EXPECT_EQ(l.tesra->ReadValue(reg::kTemperature), "Fehler");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(l.tesra->ReadValue(reg::kRange), "Fehler") << "read " << i;
    runFaultCommand(l.demo.bus, "none 1");
    std::vector<std::string> ranges;
    for (int i = 0; i < 4; ++i)
        ranges.push_back(l.tesra->ReadValue(reg::kRange));
    for (const auto& r : ranges)
        EXPECT_TRUE(r == "100" || r == "Fehler") << r;
    EXPECT_EQ(ranges.back(), "100");
    EXPECT_NEAR(std::atof(l.tesra->ReadValue(reg::kTemperature).c_str()), 21, 1);
}

// A locked device refuses the range (exception 04); the late echo of an earlier setpoint
// write must not turn that refusal into a success.
TEST(SimTransportWithTTesra, StaleWriteEchoDoesNotMakeARefusedWriteSucceed) {
    SimLink l;
    l.tesra->Address = 1;
    runFaultCommand(l.demo.bus, "late 1 1200");
    l.tesra->WriteValue(reg::kSetpoint, "5", kWriteAddressed);
    runFaultCommand(l.demo.bus, "none 1");
    EXPECT_EQ(l.tesra->WriteValue(reg::kRange, "50", kWriteAddressed), 1);
    EXPECT_EQ(l.tesra->LastException, 0x04);
    EXPECT_EQ(l.demo.bus.device(1)->visible(reg::kRange), "100");
    EXPECT_EQ(l.tesra->ReadValue(reg::kSetpoint), "5") << "the setpoint write itself arrived";
}

} // namespace
} // namespace getkelo::sim::test
