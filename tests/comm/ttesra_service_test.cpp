#include "base/clock.h"
#include "comm/register_catalogue.h"
#include "comm/service_image.h"
#include "comm/ttesra.h"
#include "scripted_peer.h"
#include "ui/scripted_ui.h"

#include <cstring>
#include <gtest/gtest.h>

namespace getkelo {
namespace {

using test::Bytes;
using test::ScriptedPeer;

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

class ServiceProtocol : public ::testing::Test {
  protected:
    VirtualClock clock;
    TComm comm{clock};
    ScriptedPeer* peer = nullptr;
    std::unique_ptr<TTesra> tesra;
    ScriptedUi ui;

    void SetUp() override {
        auto p = std::make_unique<ScriptedPeer>(clock);
        peer = p.get();
        tesra = std::make_unique<TTesra>(comm, comm.AttachTransport(std::move(p)));
    }
};

TEST_F(ServiceProtocol, ImageWriteSendsTheCommandLineThenExactly4881PacedBytes) {
    Bytes image(kServiceImageBufferSize);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 13);
    size_t dataBytes = 0;
    peer->respond = [&](const Bytes& b, ScriptedPeer& p) {
        if (b == text("WEEPROM=1310\r\n")) return;
        if (++dataBytes == kServiceImageSize) p.deliver(text("WEEPROM=1310\r\nOK\r\n"));
    };
    const int64_t start = clock.nowMs();
    ASSERT_EQ(tesra->WriteServiceImage(image, ui), 0);
    ASSERT_EQ(peer->sent.size(), 1u + kServiceImageSize);
    EXPECT_EQ(peer->sent[0], text("WEEPROM=1310\r\n"));
    for (int k = 0; k < kServiceImageSize; ++k)
        ASSERT_EQ(peer->sent[1 + k], Bytes{image[k]}) << k;
    // 10 ms before every fifth byte: at least 977 pauses.
    EXPECT_GE(clock.nowMs() - start, 977 * 10);
    EXPECT_EQ(ui.progressEvents.front(), "start:EEPROM|Schreibe EEPROM...|4880");
    EXPECT_EQ(ui.progressEvents.back(), "finish:EEPROM schreiben erfolgreich!");
}

TEST_F(ServiceProtocol, ImageWriteVerdictIsTheOkOfTheSecondLine) {
    struct Case {
        const char* answer;
        int result;
    };
    for (Case c : {Case{"WEEPROM=1310\r\nOK\r\n", 0}, Case{"WEEPROM=1310\r\nERROR\r\n", 1},
                   Case{"OK\r\n", 1}, Case{"", 1}}) {
        int n = 0;
        peer->respond = [&](const Bytes&, ScriptedPeer& p) {
            if (++n == 1 + kServiceImageSize) p.deliver(text(c.answer));
        };
        Bytes image(kServiceImageSize);
        EXPECT_EQ(tesra->WriteServiceImage(image, ui), c.result) << c.answer;
        if (c.result) EXPECT_EQ(ui.progressEvents.back(), "label:Fehler beim EEPROM schreiben!");
    }
}

TEST_F(ServiceProtocol, ImageReadTakesTheImageAfterTheRightHeader) {
    Bytes image(kServiceImageReadSize);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 31 + 1);
    peer->respond = [&](const Bytes& b, ScriptedPeer& p) {
        EXPECT_EQ(b, text("REEPROM=0x1310")) << "sent without its line end";
        Bytes answer = text("REEPROM=130D\r\n");
        answer.insert(answer.end(), image.begin(), image.end());
        p.deliver(answer);
    };
    Bytes buffer(kServiceImageBufferSize, 0xEE);
    ASSERT_EQ(tesra->ReadServiceImage(buffer, ui), 0);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), buffer.begin()));
    EXPECT_EQ(ui.progressEvents.front(), "start:EEPROM|Lese EEPROM...|4880");
    EXPECT_EQ(ui.progressEvents.back(), "finish:EEPROM lesen erfolgreich!");
}

TEST_F(ServiceProtocol, ImageReadWithAnotherHeaderReadsNoImageBytes) {
    peer->respond = [&](const Bytes&, ScriptedPeer& p) {
        Bytes answer = text("REEPROM=130E\r\n");
        answer.resize(answer.size() + kServiceImageReadSize, 0x55);
        p.deliver(answer);
    };
    Bytes buffer(kServiceImageBufferSize, 0xEE);
    EXPECT_EQ(tesra->ReadServiceImage(buffer, ui), 1);
    EXPECT_TRUE(
        std::all_of(buffer.begin() + 14, buffer.end(), [](uint8_t b) { return b == 0xEE; }));
    EXPECT_EQ(peer->pending(), 0u) << "what followed the wrong header is not left for later";
    EXPECT_EQ(ui.progressEvents.back(), "label:Fehler beim EEPROM lesen!");
}

TEST_F(ServiceProtocol, ImageReadCutShortIsAFailure) {
    peer->respond = [&](const Bytes&, ScriptedPeer& p) {
        Bytes answer = text("REEPROM=130D\r\n");
        answer.resize(answer.size() + 2000, 0x55);
        p.deliver(answer);
    };
    Bytes buffer(kServiceImageBufferSize);
    EXPECT_EQ(tesra->ReadServiceImage(buffer, ui), 1);
    Bytes small(100);
    EXPECT_EQ(tesra->ReadServiceImage(small, ui), 1) << "a buffer too small for the image";
}

TEST_F(ServiceProtocol, CommandLineAndAnswerLine) {
    peer->respond = [&](const Bytes&, ScriptedPeer& p) { p.deliver(text("echo\r\n"), 0); };
    tesra->ServiceCommand("STATUS");
    EXPECT_EQ(peer->sent.back(), text("STATUS\r\n"));
    EXPECT_EQ(peer->pending(), 0u) << "the immediate answer is discarded";
    peer->deliver(text("READY\r\nnext"));
    std::string line;
    EXPECT_EQ(tesra->ReadServiceLine(line), 0);
    EXPECT_EQ(line, "READY\r\n");
    EXPECT_EQ(tesra->ReadServiceLine(line), 1) << "no line end follows";
}

// The named values of the image sit at their byte offsets in the codec's encodings.
TEST(ServiceImageLayout, FieldsAtTheirOffsets) {
    Bytes image(kServiceImageSize);
    image[0x100E] = 7;
    image[0x1024] = 0x12, image[0x1025] = 0x34;
    image[0x1028] = 0xFF, image[0x1029] = 0xFE;
    std::memcpy(&image[0x1210], "Ar\0", 3);
    auto field = [&](const char* key) {
        return imageFieldText(image, *findServiceImageField(key));
    };
    EXPECT_EQ(field("Gain"), "7");
    EXPECT_EQ(field("TheorMaxFlow"), "4660");
    EXPECT_EQ(field("zerocut"), "-2");
    EXPECT_EQ(field("Gas"), "Ar");
    std::string error;
    EXPECT_TRUE(setImageField(image, *findServiceImageField("Divisor"), "4", &error));
    EXPECT_EQ(image[0x102B], 4);
    for (const char* bad : {"256", "-1", "1.5", "x", ""})
        EXPECT_FALSE(setImageField(image, *findServiceImageField("Gain"), bad, &error)) << bad;
    EXPECT_EQ(image[0x100E], 7) << "a refused value leaves the image alone";
    EXPECT_FALSE(setImageField(image, *findServiceImageField("Gas"), "Argon-36", &error));
    ASSERT_TRUE(setImageFlowTicks(image, 2, {-1, 300}, &error));
    EXPECT_EQ(image[2 * 512], 0xFF);
    EXPECT_EQ(image[2 * 512 + 1], 0xFF);
    EXPECT_EQ(imageFlowTicks(image, 2)[1], 300);
    EXPECT_FALSE(setImageFlowTicks(image, 2, std::vector<long long>(257), &error));
    EXPECT_FALSE(setImageFlowTicks(image, 2, {40000}, &error));
    image[0x102A] = 25, image[0x102B] = 2, image[0x1022] = 1;
    EXPECT_DOUBLE_EQ(imageFlowScale(image), 1.25);
}

} // namespace
} // namespace getkelo
