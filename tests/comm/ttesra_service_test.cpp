#include "base/clock.h"
#include "comm/service_image.h"
#include "comm/ttesra.h"
#include "scripted_peer.h"
#include "ui/scripted_ui.h"

#include <gtest/gtest.h>

namespace getkelo {
namespace {

using test::Bytes;
using test::ScriptedPeer;

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

struct ServiceProtocol : ::testing::Test {
    VirtualClock clock;
    TComm comm{clock};
    ScriptedPeer* peer = new ScriptedPeer(clock);
    TTesra tesra{comm, comm.AttachTransport(std::unique_ptr<ScriptedPeer>(peer))};
    ScriptedUi ui;
};

TEST_F(ServiceProtocol, ImageWriteSendsTheCommandLineThenExactly4881PacedBytes) {
    Bytes image(kServiceImageBufferSize);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 13);
    peer->respond = [&](const Bytes&, ScriptedPeer& p) {
        if (p.sent.size() == 1 + kServiceImageSize) p.deliver(text("WEEPROM=1310\r\nOK\r\n"));
    };
    ASSERT_EQ(tesra.WriteServiceImage(image, ui), 0);
    ASSERT_EQ(peer->sent.size(), 1u + kServiceImageSize);
    EXPECT_EQ(peer->sent[0], text("WEEPROM=1310\r\n"));
    for (int k = 0; k < kServiceImageSize; ++k)
        ASSERT_EQ(peer->sent[1 + k], Bytes{image[k]}) << k;
    EXPECT_GE(clock.nowMs() - 1700000000000, 977 * 10) << "10 ms before every fifth byte";
    EXPECT_EQ(ui.progressEvents.back(), "finish:EEPROM schreiben erfolgreich!");
    // Only an "OK" in the second answer line is a success.
    peer->sent.clear();
    peer->respond = [&](const Bytes&, ScriptedPeer& p) {
        if (p.sent.size() == 1 + kServiceImageSize) p.deliver(text("OK\r\nERROR\r\n"));
    };
    EXPECT_EQ(tesra.WriteServiceImage(image, ui), 1);
    EXPECT_EQ(ui.progressEvents.back(), "label:Fehler beim EEPROM schreiben!");
}

TEST_F(ServiceProtocol, ImageReadWithAnotherHeaderReadsNoImageBytes) {
    peer->respond = [&](const Bytes& request, ScriptedPeer& p) {
        EXPECT_EQ(request, text("REEPROM=0x1310")) << "sent without its line end";
        Bytes answer = text("REEPROM=130E\r\n");
        answer.resize(answer.size() + kServiceImageReadSize, 0x55);
        p.deliver(answer);
    };
    Bytes buffer(kServiceImageBufferSize, 0xEE);
    EXPECT_EQ(tesra.ReadServiceImage(buffer, ui), 1);
    EXPECT_TRUE(
        std::all_of(buffer.begin() + 14, buffer.end(), [](uint8_t b) { return b == 0xEE; }));
    EXPECT_EQ(peer->pending(), 0u) << "what followed the wrong header is not left for later";
    EXPECT_EQ(ui.progressEvents.back(), "label:Fehler beim EEPROM lesen!");
}

} // namespace
} // namespace getkelo
