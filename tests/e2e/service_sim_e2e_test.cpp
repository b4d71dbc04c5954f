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

// The EEPROM image of the first-generation device through the real simulator, over TCP and a
// pseudo-terminal: read, changed, written back (the pacing costs no real time on this clock),
// read again; Modbus goes on between the transfers.
TEST(ServiceProtocolOverSim, ImageRoundTripOverTcpAndAPseudoTerminal) {
    const std::string link =
        ::testing::TempDir() + "getkelo_service_pty_" + std::to_string(getpid());
    SimProcess sim({"--tcp", "127.0.0.1:0", "--pty", link});
    ASSERT_TRUE(sim.ready());
    test::LoopbackClock clock;
    TComm comm{clock};
    comm.SetComPortPath(7, link);
    TConnectionSettings tcp, pty; // pty: "COM" 7
    std::strcpy(tcp.Address, "127.0.0.1");
    tcp.Port = static_cast<uint16_t>(sim.tcpPort());
    pty.Port = 7;
    const char* gases[] = {"Ar", "He"};
    for (int i = 0; i < 2; ++i) {
        TTesra tesra(comm, i == 0 ? tcp : pty);
        tesra.Address = 5;
        ScriptedUi ui;
        std::vector<uint8_t> image(kServiceImageBufferSize), back(kServiceImageBufferSize);
        ASSERT_EQ(tesra.ReadServiceImage(image, ui), 0) << i;
        ASSERT_TRUE(setImageField(image, *findServiceImageField("Gas"), gases[i]));
        image[0x0F00] = '\r'; // line ends inside the image are just bytes
        ASSERT_EQ(tesra.WriteServiceImage(image, ui), 0) << i;
        EXPECT_EQ(tesra.ReadValue(reg::kGasText), gases[i]);
        ASSERT_EQ(tesra.ReadServiceImage(back, ui), 0) << i;
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + kServiceImageSize, back.begin()));
    }
}

} // namespace
} // namespace getkelo::e2e
