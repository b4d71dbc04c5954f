#include "comm/register_catalogue.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "sim/fault_commands.h"
#include "sim/sim_transport.h"
#include "sim_support.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

// The device layer against the in-process bus: all waiting happens on the virtual clock.
struct VirtualLink {
    DemoBus demo;
    TComm comm{demo.clock};
    SimTransport* wire = nullptr;
    std::unique_ptr<TTesra> tesra;
    VirtualLink() {
        auto t = std::make_unique<SimTransport>(demo.bus, demo.clock);
        wire = t.get();
        tesra = std::make_unique<TTesra>(comm, comm.AttachTransport(std::move(t)));
    }
};

TEST(SimTransportWithTTesra, FlowReachesTheSetpointInVirtualSeconds) {
    VirtualLink l;
    auto realStart = std::chrono::steady_clock::now();
    l.tesra->Address = 1;
    ASSERT_EQ(l.tesra->WriteValue(reg::kSetpoint, "50", kWriteAddressed), 0);
    l.demo.clock.sleepMs(5000);
    EXPECT_NEAR(std::atof(l.tesra->ReadValue(reg::kFlow).c_str()), 50, 0.5);
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(1));
}

TEST(SimTransportWithTTesra, SilentDeviceCostsEightSendsOfVirtualTime) {
    VirtualLink l;
    runFaultCommand(l.demo.bus, "silent 2");
    l.tesra->Address = 2;
    size_t before = l.wire->requests().size();
    int64_t start = l.demo.clock.nowMs();
    EXPECT_EQ(l.tesra->WriteValue(reg::kSetpoint, "5", kWriteAddressed), 1);
    EXPECT_EQ(l.wire->requests().size() - before, 8u);
    EXPECT_GT(l.demo.clock.nowMs() - start, 8 * 1000) << "eight full answer windows";
    // An exception ends the write after one send.
    l.tesra->Address = 1;
    before = l.wire->requests().size();
    EXPECT_EQ(l.tesra->WriteValue(reg::kRange, "5", kWriteAddressed), 1);
    EXPECT_EQ(l.wire->requests().size() - before, 1u);
}

} // namespace
} // namespace getkelo::sim::test
