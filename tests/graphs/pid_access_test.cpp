#include "graphs/pid_access.h"

#include "base/clock.h"
#include "comm/register_catalogue.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "sim/device_profiles.h"
#include "sim/fault_commands.h"
#include "sim/sim_bus.h"
#include "sim/sim_registers.h"
#include "sim/sim_transport.h"

#include <gtest/gtest.h>

namespace getkelo {
namespace {

// The demo bus behind a TTesra, unlocked as the scan leaves the devices.
class PidAccessTest : public ::testing::Test {
  protected:
    PidAccessTest() : comm(clock), bus(clock) {
        for (const auto& c : sim::demoBus())
            bus.addDevice(c);
        sim::DeviceConfig early = sim::defaultConfig(sim::Generation::Second);
        early.address = 6;
        early.software = "2.1.05";
        bus.addDevice(early);
        auto t = std::make_unique<sim::SimTransport>(bus, clock);
        transport = t.get();
        tesra = std::make_unique<TTesra>(comm, comm.AttachTransport(std::move(t)));
        for (uint8_t a = 1; a <= 6; ++a) {
            tesra->Address = a;
            tesra->WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
        }
    }
    TTesra& at(uint8_t address) {
        tesra->Address = address;
        return *tesra;
    }
    size_t frames() const { return transport->requests().size(); }

    VirtualClock clock;
    TComm comm;
    sim::SimBus bus;
    sim::SimTransport* transport = nullptr;
    std::unique_ptr<TTesra> tesra;
};

TEST_F(PidAccessTest, VersionText400MakesNoParameterAccess) {
    PidValues v{1, 2, 3, 4, 5};
    const size_t before = frames();
    EXPECT_FALSE(ReadPID(at(1), "4.0.0", v));
    EXPECT_FALSE(WritePID(at(1), "4.0.0", v));
    EXPECT_FALSE(readActiveSet(at(1), "4.0.0"));
    EXPECT_EQ(frames(), before);
    EXPECT_EQ(v, (PidValues{1, 2, 3, 4, 5}));
}

TEST_F(PidAccessTest, ReadsEachGenerationsLayout) {
    PidValues v{};
    ASSERT_TRUE(ReadPID(at(3), "3.5.02", v)); // second generation: floats, I kept x 1000
    EXPECT_EQ(v, (PidValues{25, 500, 0, 50, 77}));
    ASSERT_TRUE(ReadPID(at(1), "4.3.15", v)); // third: no D, I as read from "4.3.06" on
    EXPECT_EQ(v, (PidValues{500, 1000, 0, 0, 3000}));
    EXPECT_EQ(bus.device(1)->visible(reg::kSlotSelector), "0") << "selectors released";
    EXPECT_EQ(bus.device(1)->visible(reg::kPidSetSelector), "0");
    EXPECT_EQ(readActiveSet(at(3), "3.5.02"), 0);
    EXPECT_EQ(readActiveSet(at(1), "4.3.15"), 0);
}

TEST_F(PidAccessTest, WriteIsOneFrameOfSevenRegistersAndReadsBack) {
    PidValues v{42, 250, 7, 60, 90};
    size_t before = frames();
    ASSERT_TRUE(WritePID(at(3), "3.5.02", v));
    ASSERT_EQ(frames(), before + 1);
    const auto& f = transport->requests().back();
    EXPECT_EQ(f[1], 0x10);
    EXPECT_EQ(f[2] << 8 | f[3], 0x002D);
    EXPECT_EQ(f[5], 7);
    EXPECT_EQ(bus.device(3)->visible(sim::reg::kPidIOld), "0.25") << "I divided back by 1000";
    PidValues back{};
    ASSERT_TRUE(ReadPID(at(3), "3.5.02", back));
    EXPECT_EQ(back, v);

    // Third generation below "4.3.06": I is stored divided by 1000, D stays 0.
    PidValues s4{900, 1500, 99, 20, 4000};
    ASSERT_TRUE(WritePID(at(1), "4.3.05", s4));
    ASSERT_TRUE(ReadPID(at(1), "4.3.05", back));
    EXPECT_EQ(back, (PidValues{900, 1500, 0, 20, 4000}));
    EXPECT_EQ(bus.device(1)->visible(reg::kSlotSelector), "0");
}

TEST_F(PidAccessTest, FirstGenerationKeepsTheTwoRegistersBeforeP) {
    const std::string lead = bus.device(6)->visible(makeDescriptor(0x002D, 2, kTypeUInt32));
    PidValues v{};
    ASSERT_TRUE(ReadPID(at(6), "2.1.05", v)); // sixteen-bit words from 0x002F
    PidValues w{11, 22, 33, 44, 55};
    ASSERT_TRUE(WritePID(at(6), "2.1.05", w));
    EXPECT_EQ(bus.device(6)->visible(makeDescriptor(0x002D, 2, kTypeUInt32)), lead);
    ASSERT_TRUE(ReadPID(at(6), "2.1.05", v));
    EXPECT_EQ(v, w);
}

TEST_F(PidAccessTest, NaNKeepsTheWorkingValueAndSilenceChangesNothing) {
    // Set 0 of slot 1 gets a P the device cannot show.
    at(1).WriteValue(reg::kSlotSelector, "1", kWriteAddressed);
    at(1).WriteValue(reg::kPidSetSelector, "0", kWriteAddressed);
    at(1).WriteValue(reg::kPidKp, "-NaN", kWriteAddressed);
    PidValues v{123, 0, 0, 0, 0};
    ASSERT_TRUE(ReadPID(at(1), "4.3.15", v));
    EXPECT_EQ(v[kPidP], 123);
    EXPECT_EQ(v[kPidI], 1000);

    ASSERT_EQ(sim::runFaultCommand(bus, "silent 3"), "ok silent 3");
    PidValues before{1, 2, 3, 4, 5}, w = before;
    EXPECT_FALSE(ReadPID(at(3), "3.5.02", w));
    EXPECT_EQ(w, before);
    EXPECT_FALSE(WritePID(at(3), "3.5.02", w));
}

} // namespace
} // namespace getkelo
