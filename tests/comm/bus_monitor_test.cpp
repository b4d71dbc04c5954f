// The traffic monitor below the window: ring, recorder, decoder and filters.
#include "base/clock.h"
#include "comm/bus_decoder.h"
#include "comm/bus_monitor.h"
#include "comm/tcomm.h"
#include "scripted_peer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace getkelo {
namespace {

using test::Bytes;
using test::exceptionAnswer;
using test::readAnswer;
using test::withCrc;
using test::writeEcho;

constexpr int64_t kT0 = 1700000000000; // 22:13:20.000 UTC (the tests run with TZ=UTC)

void frame(BusObserver& o, FrameDirection d, const Bytes& b, FrameUnit u = FrameUnit::Whole) {
    o.frame(d, u, b.data(), static_cast<int>(b.size()), kT0);
}
Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}
// One transaction: request, the answer (none when empty) and its result (none when < 0).
void exchange(BusObserver& o, const Bytes& request, const Bytes& answer, int result) {
    frame(o, FrameDirection::Sent, request);
    if (!answer.empty()) frame(o, FrameDirection::Received, answer);
    if (result >= 0) o.transactionDone(result, 12, kT0 + 12);
}
std::string meaningOf(const BusRecorder& r, uint64_t seq) {
    return decodeFrame(*r.ring().find(seq), r.ring().find(seq - 1));
}

TEST(BusRecorder, KeepsExactlyTheLastTenThousandFrames) {
    BusRecorder r;
    for (int i = 0; i < 10005; ++i)
        frame(r, FrameDirection::Sent, {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)});
    const FrameRing& ring = r.ring();
    EXPECT_EQ(ring.size(), kMonitorFrames);
    EXPECT_EQ(ring.find(5), nullptr);
    ASSERT_NE(ring.find(6), nullptr);
    EXPECT_EQ(ring.find(6)->bytes[0], 5); // the sixth frame sent
    EXPECT_EQ(ring.last()->bytes[0] | ring.last()->bytes[1] << 8, 10004);
}

TEST(BusRecorder, JoinsPiecesKeepsTheStartOfLongFramesAndPutsResultsWhereTheyBelong) {
    BusRecorder r;
    // The bootloader's wake-up word again and again, then its answer in two polls.
    for (const char* piece : {"QTX", "QTX"})
        frame(r, FrameDirection::Sent, text(piece), FrameUnit::Piece);
    for (const char* piece : {"BOOTL", "OADER1.02.03"})
        frame(r, FrameDirection::Received, text(piece), FrameUnit::Piece);
    EXPECT_EQ(meaningOf(r, 1), "text \"QTXQTX\"");
    EXPECT_EQ(meaningOf(r, 2), "text \"BOOTLOADER1.02.03\"");
    // An EEPROM image keeps its first bytes and its length.
    frame(r, FrameDirection::Received, Bytes(4881, 0xA5));
    EXPECT_EQ(meaningOf(r, 3), "4881 bytes");
    const std::string hex = frameHexText(*r.ring().last());
    EXPECT_EQ(hex.size(), 260u * 3 - 1 + 18);
    EXPECT_EQ(hex.substr(hex.size() - 23), "A5 A5 ... (+4621 bytes)");
    // A broadcast awaits nothing: its result goes on the request itself.
    exchange(r, withCrc({0, 0x10, 0x00, 0x2B, 0x00, 0x02, 0x04, 0, 0, 0, 0}), {}, 0);
    EXPECT_EQ(meaningOf(r, 4),
              "broadcast write 0x002B n=2: AccessCode=0 -> sent, no answer awaited");
    EXPECT_EQ(r.ring().size(), 4u);
}

TEST(BusDecoder, NamesRequestsAnswersExceptionsAndFailures) {
    const Bytes poll = withCrc({1, 0x03, 0x00, 0x00, 0x00, 0x06});
    const Bytes pollAnswer = readAnswer(1, {0x42, 0xC8, 0, 0, 0x41, 0xAC, 0, 0, 0xC0, 0, 0, 0});
    Bytes badCrc = pollAnswer;
    badCrc.back() ^= 0x55;
    const Bytes identity = withCrc({2, 0x03, 0x00, 0x1E, 0x00, 0x06});
    const Bytes setpoint = withCrc({1, 0x10, 0x00, 0x06, 0x00, 0x02, 0x04, 0x42, 0x48, 0, 0});
    struct Case {
        const char* name;
        Bytes request, answer;
        int result;
        const char *request_meaning, *answer_meaning;
    } const cases[] = {
        {"poll", poll, pollAnswer, 0, "slave 1 read 0x0000 n=6",
         "slave 1 answer 12 bytes, CRC ok: Flow=100 Temperature=21.5 Totalizer=-2 -> ok, 12 ms"},
        {"identity, unnamed words", identity,
         readAnswer(2, {0x01, 0x6E, 0x4C, 0xB2, 0x04, 0x36, 0x04, 0x3E, 0, 0, 0xAB, 0xCD}), 0,
         "slave 2 read 0x001E n=6",
         "slave 2 answer 12 bytes, CRC ok: SerialNumber=24005810 HardwareVersion=1078 (4.3.06) "
         "SoftwareVersion=1086 (4.3.14) Command=0 0x0023=ABCD -> ok, 12 ms"},
        {"write", setpoint, writeEcho(setpoint), 0, "slave 1 write 0x0006 n=2: Setpoint=50",
         "slave 1 wrote 0x0006 n=2, CRC ok -> ok, 12 ms"},
        {"address change", withCrc({3, 0x06, 0x00, 0x13, 0x00, 0x05}),
         withCrc({5, 0x06, 0x00, 0x13, 0x00, 0x05}), 0, "slave 3 write single ModBusAdress=5",
         "slave 5 (asked slave 3) wrote single, CRC ok: ModBusAdress=5 -> ok, 12 ms"},
        {"exception", poll, exceptionAnswer(1, 0x03, 0x02), 2, "slave 1 read 0x0000 n=6",
         "slave 1 exception 02 illegal data address (function 03), CRC ok -> short, 12 ms"},
        {"bad CRC", poll, badCrc, 3, "slave 1 read 0x0000 n=6",
         "slave 1 answer 12 bytes, CRC bad: Flow=100 Temperature=21.5 Totalizer=-2 -> bad "
         "answer, 12 ms"},
        {"short", poll, Bytes(pollAnswer.begin(), pollAnswer.begin() + 6), 2,
         "slave 1 read 0x0000 n=6", "slave 1 answer, 6 of 17 bytes, CRC bad -> short, 12 ms"},
        {"silent", poll, {}, 1, "slave 1 read 0x0000 n=6", "nothing -> no answer, 12 ms"},
        {"service command", text("REEPROM=0x1310"), text("REEPROM=130D\r\n"), -1,
         "text \"REEPROM=0x1310\"", "text \"REEPROM=130D\\r\\n\""},
        {"binary", Bytes{0x00, 0xFF, 0x10}, {}, -1, "3 bytes", nullptr},
    };
    for (const Case& c : cases) {
        BusRecorder r;
        exchange(r, c.request, c.answer, c.result);
        EXPECT_EQ(meaningOf(r, 1), c.request_meaning) << c.name;
        if (c.answer_meaning) EXPECT_EQ(meaningOf(r, 2), c.answer_meaning) << c.name;
        EXPECT_EQ(frameFailed(*r.ring().last()), c.result > 0) << c.name;
    }
}

class BusMonitorTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    TComm comm{clock};
    BusMonitor monitor{comm, 8};

    std::string row(int i) {
        return decodeFrame(*monitor.rowFrame(i), monitor.frameBefore(*monitor.rowFrame(i)));
    }
    void poll(uint8_t slave, int result) {
        ASSERT_NE(comm.busObserver(), nullptr);
        exchange(*comm.busObserver(), withCrc({slave, 0x03, 0x00, 0x0E, 0x00, 0x01}),
                 result == 0 ? readAnswer(slave, {0, 1}) : Bytes{}, result);
    }
};

TEST_F(BusMonitorTest, RecordsOnlyWhileOpenAndNotPaused) {
    EXPECT_EQ(comm.busObserver(), nullptr); // never opened: nothing to call
    monitor.open();
    poll(1, 0);
    monitor.setPaused(true);
    EXPECT_EQ(comm.busObserver(), nullptr);
    monitor.setPaused(false);
    poll(2, 0);
    monitor.close();
    EXPECT_EQ(comm.busObserver(), nullptr);
    EXPECT_EQ(monitor.refresh().added, 4);
}

TEST_F(BusMonitorTest, FiltersBySlaveAndByFailureFollowsTheRingAndSaves) {
    monitor.open();
    poll(1, 0);
    poll(2, 1);
    poll(1, 3);
    EXPECT_EQ(monitor.refresh().added, 6);
    monitor.setSlaveFilter(1);
    EXPECT_TRUE(monitor.refresh().reset);
    EXPECT_EQ(monitor.rowCount(), 4);
    monitor.setSlaveFilter(0);
    monitor.setFailuresOnly(true);
    monitor.refresh();
    ASSERT_EQ(monitor.rowCount(), 4); // request and answer of both failures
    EXPECT_EQ(row(0), "slave 2 read 0x000E n=1 ControlMode");
    EXPECT_EQ(row(3), "nothing -> bad answer, 12 ms");

    const std::string path = ::testing::TempDir() + "/getkelo-monitor-save.txt";
    std::string error;
    ASSERT_TRUE(monitor.save(path, error)) << error;
    std::ifstream in(path);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first,
              "22:13:20.000 TX 02 03 00 0E 00 01 E5 FA | slave 2 read 0x000E n=1 ControlMode");
    std::remove(path.c_str());

    // Three more polls push the four oldest frames out of the ring of eight.
    for (int result : {1, 0, 0})
        poll(3, result);
    const BusMonitor::Change change = monitor.refresh();
    EXPECT_EQ(change.removedFront, 2);
    EXPECT_EQ(change.added, 2);
    EXPECT_EQ(monitor.rowCount(), 4);
}

} // namespace
} // namespace getkelo
