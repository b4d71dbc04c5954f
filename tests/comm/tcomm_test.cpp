#include "base/clock.h"
#include "base/ini_file.h"
#include "comm/register_catalogue.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "scripted_peer.h"
#include "ui/scripted_ui.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace getkelo {
namespace {

using test::Bytes;
using test::ScriptedPeer;

class TCommTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    TComm comm{clock};
    ScriptedPeer* peer = nullptr;
    TChannel channel;

    void SetUp() override {
        auto p = std::make_unique<ScriptedPeer>(clock);
        peer = p.get();
        channel = comm.AttachTransport(std::move(p));
    }
};

TEST_F(TCommTest, ReadBytesGivesUpAfterRetryLimitPlusOneEmptyReads) {
    for (int limit : {100, 15, 0}) {
        comm.RetryLimit = limit;
        peer->emptyReceives = 0;
        int64_t start = clock.nowMs();
        uint8_t buf[16];
        EXPECT_EQ(comm.ReadBytes(buf, 9, false, channel.Handle), 0);
        EXPECT_EQ(peer->emptyReceives, limit + 1);
        // Each empty read but the last waits 10 ms: 1.0 s with 100, 0.15 s with 15.
        EXPECT_EQ(clock.nowMs() - start, 10 * limit);
    }
}

TEST_F(TCommTest, ReadBytesCollectsPiecesAndWakesWhenTheyArrive) {
    peer->deliver({1, 2}, 0);
    peer->deliver({3}, 25);
    peer->deliver({4, 5, 6}, 27);
    uint8_t buf[8] = {};
    int64_t start = clock.nowMs();
    EXPECT_EQ(comm.ReadBytes(buf, 6, false, channel.Handle), 6);
    EXPECT_EQ(Bytes(buf, buf + 6), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(clock.nowMs() - start, 27);
}

TEST_F(TCommTest, ReadBytesOfNothingReturnsAtOnce) {
    uint8_t buf[1];
    EXPECT_EQ(comm.ReadBytes(buf, 0, false, channel.Handle), 0);
    EXPECT_EQ(comm.ReadBytes(buf, -3, false, channel.Handle), 0);
    EXPECT_EQ(peer->receives, 0);
}

TEST_F(TCommTest, ReadUntilFindsTerminatorSplitOverReadsOrAfterOtherText) {
    peer->deliver({'O', 'K', '\r'}, 0);
    peer->deliver({'\n'}, 300);
    char buf[32];
    EXPECT_EQ(comm.ReadUntil(buf, sizeof buf, "\r\n", false, channel.Handle), 0);
    EXPECT_STREQ(buf, "OK\r\n");
    std::string text = "E2 0000 1234 >";
    peer->deliver(Bytes(text.begin(), text.end()));
    peer->deliver({'x', 'y'});
    EXPECT_EQ(comm.ReadUntil(buf, sizeof buf, ">", false, channel.Handle), 0);
    EXPECT_STREQ(buf, text.c_str());
    EXPECT_EQ(peer->pending(), 2u) << "reads stop at the terminator";
}

TEST_F(TCommTest, ReadUntilGivesUpAfterTwiceRetryLimitEmptyReads) {
    comm.RetryLimit = 15;
    peer->deliver({'a', 'b'});
    char buf[16];
    EXPECT_EQ(comm.ReadUntil(buf, sizeof buf, "\n", false, channel.Handle), 1);
    EXPECT_STREQ(buf, "ab");
    EXPECT_EQ(peer->emptyReceives, 31);
}

TEST_F(TCommTest, ReadUntilStopsAtItsBufferBoundAndPurges) {
    peer->deliver(Bytes(40, 'x'));
    char buf[16];
    std::memset(buf, 0x55, sizeof buf);
    EXPECT_EQ(comm.ReadUntil(buf, sizeof buf, "\n", false, channel.Handle), 1);
    EXPECT_EQ(std::strlen(buf), 15u);
    EXPECT_EQ(peer->pending(), 0u) << "the rest of an over-long answer is discarded";
}

TEST_F(TCommTest, SendReceiveOnClosedOrFailedChannelSendsNothing) {
    uint8_t buf[8] = {1, 2, 3};
    for (int handle : {-1, 0, 9999})
        EXPECT_EQ(comm.SendReceive(buf, 3, 5, false, handle), 1);
    EXPECT_TRUE(peer->sent.empty());
    TChannel copy = channel;
    comm.CloseChannel(copy);
    EXPECT_EQ(copy.Handle, 0);
    EXPECT_EQ(comm.transportOf(channel.Handle), nullptr);
}

TEST_F(TCommTest, PartialAnswerGivesTwoAndItsRestIsGoneBeforeNextExchange) {
    peer->respond = [](const Bytes&, ScriptedPeer& p) {
        p.deliver({0x01, 0x03, 0x04});
        p.deliver({0xAA, 0xBB, 0xCC}, 2000); // long after the wait window
    };
    uint8_t buf[16] = {};
    EXPECT_EQ(comm.SendReceive(buf, 8, 9, false, channel.Handle), 2);
    clock.advanceMs(3000);
    peer->respond = [](const Bytes&, ScriptedPeer& p) { p.deliver({9, 8, 7}); };
    EXPECT_EQ(comm.SendReceive(buf, 8, 3, false, channel.Handle), 0);
    EXPECT_EQ(Bytes(buf, buf + 3), (Bytes{9, 8, 7}));
}

TEST_F(TCommTest, StaleAnswerIsNotTakenForNextDevice) {
    peer->deliver({0x05, 0x03, 0x02, 0x00, 0x07, 0x00, 0x00});
    peer->respond = [](const Bytes&, ScriptedPeer& p) { p.deliver({1, 2, 3, 4, 5, 6, 7}, 5); };
    uint8_t buf[16] = {};
    EXPECT_EQ(comm.SendReceive(buf, 8, 7, false, channel.Handle), 0);
    EXPECT_EQ(Bytes(buf, buf + 7), (Bytes{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(TCommTest, AnswerCompleteEndsTheWaitEarly) {
    peer->respond = [](const Bytes&, ScriptedPeer& p) { p.deliver({1, 0x83, 2, 0, 0}); };
    uint8_t buf[16] = {};
    int64_t start = clock.nowMs();
    auto fiveBytes = [](const uint8_t*, int n) { return n >= 5; };
    EXPECT_EQ(comm.SendReceive(buf, 8, 9, false, channel.Handle, fiveBytes), 2);
    EXPECT_EQ(clock.nowMs() - start, 0);
}

struct IpCase {
    const char* text;
    bool valid;
    uint8_t octets[4];
};

TEST(ParseIPv4, Table) {
    const IpCase cases[] = {
        {"192.168.0.10", true, {192, 168, 0, 10}},
        {"0.0.0.0", true, {0, 0, 0, 0}},
        {"255.255.255.255", true, {255, 255, 255, 255}},
        {"010.1.2.3", true, {10, 1, 2, 3}},
        {"1.2.3", false, {}},
        {"1.2.3.256", false, {}},
        {"1.2.3.4 ", false, {}},
        {" 1.2.3.4", false, {}},
        {"a.b.c.d", false, {}},
        {"1.2.3.4.", false, {}},
        {"1.2.3.4.5", false, {}},
        {"1..2.3", false, {}},
        {"", false, {}},
        {"99999999999.1.1.1", false, {}},
    };
    for (const auto& c : cases) {
        uint32_t v = TComm::ParseIPv4(c.text);
        if (!c.valid) {
            EXPECT_EQ(v, 0xFFFEFFFFu) << '"' << c.text << '"';
            continue;
        }
        uint8_t bytes[4];
        std::memcpy(bytes, &v, 4);
        EXPECT_EQ(Bytes(bytes, bytes + 4), Bytes(c.octets, c.octets + 4)) << c.text;
    }
}

class TCommSettingsTest : public ::testing::Test {
  protected:
    std::filesystem::path dir;
    std::string ini;
    VirtualClock clock;
    TComm comm{clock};

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("getkelo-tcomm-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        ini = (dir / "GetKelo.ini").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(TCommSettingsTest, DefaultsWithoutSettingsFile) {
    comm.RetryLimit = 15;
    comm.InitSettings(ini);
    EXPECT_EQ(comm.RetryLimit, 100);
    EXPECT_EQ(comm.LanguageName, "Deutsch");
    TConnectionSettings s = comm.ReadConnectionSettings("Tesra");
    EXPECT_STREQ(s.Address, "COM");
    EXPECT_EQ(s.Port, 1);
    comm.ReadConnectionSettings("Tesra");
    EXPECT_EQ(comm.KnownSections, std::vector<std::string>{"Tesra"});
    EXPECT_EQ(comm.ComPortPath(1), "/dev/ttyS0");
    EXPECT_EQ(comm.ComPortPath(4), "/dev/ttyS3");
}

TEST_F(TCommSettingsTest, TcpSettingsAndLanguageRoundTrip) {
    IniFile f(ini);
    f.writeBool("Tesra", "TcpIp", true);
    f.writeString("Tesra", "IP", "192.168.1.20");
    f.writeInteger("Tesra", "Port", 502);
    f.writeString("Programm", "Sprache", "English");
    comm.InitSettings(ini);
    EXPECT_EQ(comm.LanguageName, "English");
    TConnectionSettings s = comm.ReadConnectionSettings("Tesra");
    EXPECT_STREQ(s.Address, "192.168.1.20");
    EXPECT_EQ(s.Port, 502);
    comm.LanguageName = "Francais";
    comm.SaveLanguage();
    EXPECT_EQ(IniFile(ini).readString("Programm", "Sprache"), "Francais");
}

TEST_F(TCommSettingsTest, OverlongIpIsRefusedAndFailsAtOnce) {
    IniFile f(ini);
    f.writeBool("Tesra", "TcpIp", true);
    f.writeString("Tesra", "IP", "192.168.100.1000");
    comm.InitSettings(ini);
    TConnectionSettings s = comm.ReadConnectionSettings("Tesra");
    EXPECT_STREQ(s.Address, "");
    int64_t start = clock.nowMs();
    TChannel c = comm.OpenChannel(s);
    EXPECT_TRUE(c.IsTcp);
    EXPECT_EQ(c.Handle, -1);
    EXPECT_EQ(clock.nowMs(), start);
    EXPECT_NE(comm.LastOpenError.find("longer than 15"), std::string::npos) << comm.LastOpenError;
}

TEST_F(TCommSettingsTest, MalformedIpFailsWithoutConnectAttempts) {
    TConnectionSettings s;
    std::strcpy(s.Address, "1.2.3");
    s.Port = 502;
    int64_t start = clock.nowMs();
    TChannel c = comm.OpenChannel(s);
    EXPECT_EQ(c.Handle, -1);
    EXPECT_TRUE(c.IsTcp);
    EXPECT_EQ(clock.nowMs(), start);
    EXPECT_FALSE(comm.LastOpenError.empty());
}

TEST_F(TCommSettingsTest, ComPathFromSettingsAndOverride) {
    IniFile(ini).writeString("Tesra", "ComPath_2", "/dev/serial/by-id/usb-adapter");
    comm.InitSettings(ini);
    EXPECT_EQ(comm.ComPortPath(2), "/dev/serial/by-id/usb-adapter");
    comm.SetComPortPath(2, "/tmp/pty");
    EXPECT_EQ(comm.ComPortPath(2), "/tmp/pty");
    EXPECT_EQ(comm.ComPortPath(3), "/dev/ttyS2");
}

TEST_F(TCommSettingsTest, ComNumberWithoutDeviceShowsOpenErrorBox) {
    ScriptedUi ui;
    comm.setUi(&ui);
    comm.SetComPortPath(7, (dir / "no-such-port").string());
    TConnectionSettings s;
    s.Port = 7;
    TChannel c = comm.OpenChannel(s);
    EXPECT_FALSE(c.IsTcp);
    EXPECT_EQ(c.Handle, -1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Fehler: Verbindung wird schon verwendet!");
    EXPECT_EQ(ui.messages[0].caption, "COM7");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Error);
    EXPECT_NE(comm.LastOpenError.find("No such file"), std::string::npos) << comm.LastOpenError;
    // In the program's language when it gives one.
    comm.MessageText = [](const std::string& key, const std::string&) { return "<" + key + ">"; };
    comm.OpenChannel(s);
    EXPECT_EQ(ui.messages.back().text, "<ErrPortInUse>");
}

// Modbus frames written into a file would overwrite its first bytes.
TEST_F(TCommSettingsTest, PathThatIsNoTerminalIsRefusedAndLeftUntouched) {
    ScriptedUi ui;
    comm.setUi(&ui);
    const std::string file = (dir / "plain-file").string();
    const std::string content = "[x]\r\ny=z\r\n";
    { std::ofstream(file, std::ios::binary) << content; }
    const std::string fifo = (dir / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        const char* kind;
    } cases[] = {{file, "a regular file"},
                 {fifo, "a pipe"},
                 {"/dev/null", "a character device that is no serial port"}};
    for (const auto& c : cases) {
        ui.messages.clear();
        comm.SetComPortPath(1, c.path);
        TTesra tesra(comm, TConnectionSettings{});
        EXPECT_EQ(tesra.Handle, -1) << c.path;
        EXPECT_EQ(tesra.ReadValue(reg::kFlow), "Fehler");
        EXPECT_NE(comm.LastOpenError.find(std::string("not a terminal (") + c.kind + ")"),
                  std::string::npos)
            << comm.LastOpenError;
        ASSERT_EQ(ui.messages.size(), 1u) << c.path;
        EXPECT_EQ(ui.messages[0].text, "Fehler: Keine Konfiguration möglich!");
    }
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content);
}

} // namespace
} // namespace getkelo
