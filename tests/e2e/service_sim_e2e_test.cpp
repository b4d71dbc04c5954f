#include "comm/register_catalogue.h"
#include "comm/service_image.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "loopback_clock.h"
#include "sim_process.h"
#include "ui/scripted_ui.h"

#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

namespace getkelo::e2e {
namespace {

constexpr uint8_t kFirst = 5;

// The EEPROM image of the demo bus's first-generation device over both kinds of line: read,
// one value changed, written back (paced on the clock: the pauses cost no real time), read
// again; Modbus goes on between the transfers.
void roundTrip(TComm& comm, const TConnectionSettings& settings) {
    TTesra tesra(comm, settings);
    ASSERT_TRUE(tesra.isOpen());
    tesra.Address = kFirst;
    tesra.DelayMs = 0;
    ScriptedUi ui;
    std::vector<uint8_t> image(kServiceImageBufferSize);
    ASSERT_EQ(tesra.ReadServiceImage(image, ui), 0);
    const ServiceImageField& gas = *findServiceImageField("Gas");
    EXPECT_EQ(imageFieldText(image, gas), "N2");
    ASSERT_TRUE(setImageField(image, gas, "Ar"));
    image[0x0F00] ^= 0x0D; // line ends inside the image are just bytes
    ASSERT_EQ(tesra.WriteServiceImage(image, ui), 0);
    EXPECT_EQ(tesra.ReadValue(reg::kGasText), "Ar");
    std::vector<uint8_t> back(kServiceImageBufferSize);
    ASSERT_EQ(tesra.ReadServiceImage(back, ui), 0);
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + kServiceImageSize, back.begin()));
}

TEST(ServiceProtocolOverSim, ImageRoundTripOverTcp) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    test::LoopbackClock clock;
    TComm comm{clock};
    TConnectionSettings s;
    std::strcpy(s.Address, "127.0.0.1");
    s.Port = static_cast<uint16_t>(sim.tcpPort());
    roundTrip(comm, s);
}

TEST(ServiceProtocolOverSim, ImageRoundTripOverAPseudoTerminal) {
    const std::string link =
        ::testing::TempDir() + "getkelo_sim_service_pty_" + std::to_string(::getpid());
    SimProcess sim({"--pty", link});
    ASSERT_TRUE(sim.ready());
    test::LoopbackClock clock;
    TComm comm{clock};
    comm.SetComPortPath(7, link);
    TConnectionSettings s; // "COM" 7
    s.Port = 7;
    roundTrip(comm, s);
}

TEST(ServiceProtocolOverSim, TransferBrokenOffHalfwayIsAFailure) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    EXPECT_EQ(sim.command("service 5 stop"), "ok service 5 stop");
    test::LoopbackClock clock;
    TComm comm{clock};
    comm.RetryLimit = 15; // short answer windows: silence costs real time here
    TConnectionSettings s;
    std::strcpy(s.Address, "127.0.0.1");
    s.Port = static_cast<uint16_t>(sim.tcpPort());
    TTesra tesra(comm, s);
    ScriptedUi ui;
    std::vector<uint8_t> image(kServiceImageBufferSize);
    EXPECT_EQ(tesra.ReadServiceImage(image, ui), 1);
    EXPECT_EQ(tesra.WriteServiceImage(image, ui), 1);
    tesra.Address = kFirst;
    EXPECT_EQ(tesra.ReadValue(reg::kGasText), "N2");
}

} // namespace
} // namespace getkelo::e2e
