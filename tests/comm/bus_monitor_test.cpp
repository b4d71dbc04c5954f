// The traffic monitor below the window: ring, recorder, decoder, filters and the trace.
#include "base/clock.h"
#include "comm/bus_decoder.h"
#include "comm/bus_monitor.h"
#include "comm/bus_recorder.h"
#include "comm/bus_trace.h"
#include "comm/tcomm.h"
#include "scripted_peer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace getkelo {
namespace {

using test::Bytes;
using test::exceptionAnswer;
using test::readAnswer;
using test::withCrc;
using test::writeEcho;

constexpr int64_t kT0 = 1700000000000;

void sent(BusObserver& o, const Bytes& b, FrameUnit unit = FrameUnit::Whole) {
    o.frame(FrameDirection::Sent, unit, b.data(), static_cast<int>(b.size()), kT0);
}
void received(BusObserver& o, const Bytes& b, FrameUnit unit = FrameUnit::Whole) {
    o.frame(FrameDirection::Received, unit, b.data(), static_cast<int>(b.size()), kT0 + 5);
}
Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}
// One transaction: request, the answer (none when empty) and its result.
void exchange(BusObserver& o, const Bytes& request, const Bytes& answer, int result,
              int elapsedMs = 12) {
    sent(o, request);
    if (!answer.empty()) received(o, answer);
    o.transactionDone(result, elapsedMs, kT0 + elapsedMs);
}
// The meaning of the newest record (with its result).
std::string lastMeaning(const BusRecorder& r) {
    const FrameRecord* f = r.ring().last();
    return decodeFrame(*f, r.ring().find(f->seq - 1));
}
std::string meaningOf(const BusRecorder& r, uint64_t seq) {
    return decodeFrame(*r.ring().find(seq), r.ring().find(seq - 1));
}

TEST(FrameRing, KeepsExactlyTheLastTenThousandFrames) {
    BusRecorder r;
    for (int i = 0; i < 10005; ++i) {
        Bytes b{static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)};
        sent(r, b);
    }
    const FrameRing& ring = r.ring();
    EXPECT_EQ(ring.size(), kMonitorFrames);
    EXPECT_EQ(ring.firstSeq(), 6u);
    EXPECT_EQ(ring.find(5), nullptr);
    ASSERT_NE(ring.find(6), nullptr);
    EXPECT_EQ(ring.find(6)->bytes[0], 5); // the sixth frame sent
    EXPECT_EQ(ring.last()->seq, 10005u);
    EXPECT_EQ(ring.last()->bytes[0] | ring.last()->bytes[1] << 8, 10004);
    EXPECT_EQ(ring.find(10006), nullptr);
}

TEST(BusRecorder, JoinsPiecesKeepsTheStartOfLongFramesAndPutsResultsOnAnswers) {
    BusRecorder r;
    // The bootloader's wake-up word sent again and again, then its answer in two polls.
    sent(r, text("QTX"), FrameUnit::Piece);
    sent(r, text("QTX"), FrameUnit::Piece);
    received(r, text("BOOTL"), FrameUnit::Piece);
    received(r, text("OADER1.02.03"), FrameUnit::Piece);
    ASSERT_EQ(r.ring().size(), 2u);
    EXPECT_EQ(meaningOf(r, 1), "text \"QTXQTX\"");
    EXPECT_EQ(meaningOf(r, 2), "text \"BOOTLOADER1.02.03\"");

    // An image of 4881 bytes keeps its first bytes and its length.
    Bytes image(4881, 0xA5);
    received(r, image);
    const FrameRecord* big = r.ring().last();
    EXPECT_EQ(big->length, 4881);
    EXPECT_EQ(big->kept, kFrameBytesKept);
    EXPECT_EQ(lastMeaning(r), "4881 bytes");
    const std::string hex = frameHexText(*big);
    EXPECT_EQ(hex.size(), 260u * 3 - 1 + 18);
    EXPECT_EQ(hex.substr(hex.size() - 23), "A5 A5 ... (+4621 bytes)");

    // A silent device: the result stands on a record of its own, after the request.
    const Bytes poll = withCrc({3, 0x03, 0x00, 0x00, 0x00, 0x02});
    exchange(r, poll, {}, 1, 1010);
    EXPECT_EQ(r.ring().last()->direction, FrameDirection::Received);
    EXPECT_EQ(r.ring().last()->length, 0);
    EXPECT_EQ(lastMeaning(r), "nothing -> no answer, 1010 ms");
    EXPECT_EQ(frameSlave(*r.ring().last(), r.ring().find(r.ring().last()->seq - 1)), 3);

    // A broadcast awaits nothing: its result goes on the request itself.
    const auto before = r.ring().size();
    exchange(r, withCrc({0, 0x10, 0x00, 0x2B, 0x00, 0x02, 0x04, 0, 0, 0, 0}), {}, 0);
    EXPECT_EQ(r.ring().size(), before + 1);
    EXPECT_EQ(lastMeaning(r),
              "broadcast write 0x002B n=2: AccessCode=0 -> sent, no answer awaited");
}

TEST(BusDecoder, NamesRequestsAnswersExceptionsAndFailures) {
    const Bytes poll = withCrc({1, 0x03, 0x00, 0x00, 0x00, 0x06});
    const Bytes pollAnswer = readAnswer(1, {0x42, 0xC8, 0, 0, 0x41, 0xAC, 0, 0, 0x3F, 0x80, 0, 0});
    Bytes badCrc = pollAnswer;
    badCrc.back() ^= 0x55;
    const Bytes identity = withCrc({2, 0x03, 0x00, 0x1E, 0x00, 0x09});
    const Bytes identityAnswer = readAnswer(2, {0x01, 0x6E, 0x4C, 0xB2, 0x04, 0x36, 0x04, 0x3E,
                                                0x00, 0x00, 'G', 'K', 'F', '4', 'N', '2', 'A', 0});
    const Bytes setpoint = withCrc({1, 0x10, 0x00, 0x06, 0x00, 0x02, 0x04, 0x42, 0x48, 0, 0});
    const Bytes addressChange = withCrc({3, 0x06, 0x00, 0x13, 0x00, 0x05});
    const Bytes block = withCrc({4, 0x03, 0x00, 0x08, 0x00, 0x04});
    struct Case {
        const char* name;
        Bytes request, answer;
        int result;
        const char* request_meaning;
        const char* answer_meaning;
    };
    const Case cases[] = {
        {"poll", poll, pollAnswer, 0, "slave 1 read 0x0000 n=6",
         "slave 1 answer 12 bytes, CRC ok: Flow=100 Temperature=21.5 Totalizer=1 -> ok, 12 ms"},
        {"identity", identity, identityAnswer, 0, "slave 2 read 0x001E n=9",
         "slave 2 answer 18 bytes, CRC ok: SerialNumber=24005810 HardwareVersion=1078 (4.3.06) "
         "SoftwareVersion=1086 (4.3.14) Command=0 DeviceTypeCode1=\"GKF4N2A\" -> ok, 12 ms"},
        {"unnamed registers", block, readAnswer(4, {0, 1, 0xAB, 0xCD, 0xC0, 0, 0, 0}), 0,
         "slave 4 read 0x0008 n=4",
         "slave 4 answer 8 bytes, CRC ok: 0x0008=0001 0x0009=ABCD Valve=-2 -> ok, 12 ms"},
        {"write", setpoint, writeEcho(setpoint), 0, "slave 1 write 0x0006 n=2: Setpoint=50",
         "slave 1 wrote 0x0006 n=2, CRC ok -> ok, 12 ms"},
        {"address change", addressChange, withCrc({5, 0x06, 0x00, 0x13, 0x00, 0x05}), 0,
         "slave 3 write single ModBusAdress=5",
         "slave 5 (asked slave 3) wrote single, CRC ok: ModBusAdress=5 -> ok, 12 ms"},
        {"exception", poll, exceptionAnswer(1, 0x03, 0x02), 2, "slave 1 read 0x0000 n=6",
         "slave 1 exception 02 illegal data address (function 03), CRC ok -> short, 12 ms"},
        {"locked", setpoint, exceptionAnswer(1, 0x10, 0x04), 2,
         "slave 1 write 0x0006 n=2: Setpoint=50",
         "slave 1 exception 04 slave device failure (also: protected register, device locked) "
         "(function 10), CRC ok -> short, 12 ms"},
        {"bad CRC", poll, badCrc, 3, "slave 1 read 0x0000 n=6",
         "slave 1 answer 12 bytes, CRC bad: Flow=100 Temperature=21.5 Totalizer=1 -> bad "
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
        sent(r, c.request);
        if (!c.answer.empty()) received(r, c.answer);
        if (c.result >= 0) r.transactionDone(c.result, 12, kT0 + 12);
        EXPECT_EQ(meaningOf(r, 1), c.request_meaning) << c.name;
        if (c.answer_meaning) EXPECT_EQ(meaningOf(r, 2), c.answer_meaning) << c.name;
        EXPECT_EQ(frameFailed(*r.ring().last()), c.result > 0) << c.name;
    }
}

TEST(BusDecoder, LineHasTimeDirectionBytesAndMeaning) {
    BusRecorder r;
    exchange(r, withCrc({1, 0x03, 0x00, 0x00, 0x00, 0x01}), {}, 1);
    const std::string line = frameLine(*r.ring().find(1), nullptr);
    // kT0 is 22:13:20.000 UTC (the tests run with TZ=UTC).
    EXPECT_EQ(line, "22:13:20.000 TX 01 03 00 00 00 01 84 0A | slave 1 read 0x0000 n=1");
    EXPECT_EQ(frameLine(*r.ring().find(2), r.ring().find(1)),
              "22:13:20.012 RX - | nothing -> no answer, 12 ms");
}

class BusMonitorTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    TComm comm{clock};
    BusMonitor monitor{comm, 8};

    std::vector<std::string> rows() {
        std::vector<std::string> out;
        for (int i = 0; i < monitor.rowCount(); ++i)
            out.push_back(
                decodeFrame(*monitor.rowFrame(i), monitor.frameBefore(*monitor.rowFrame(i))));
        return out;
    }
    void poll(uint8_t slave, int result) {
        ASSERT_NE(comm.busObserver(), nullptr);
        const Bytes request = withCrc({slave, 0x03, 0x00, 0x0E, 0x00, 0x01});
        exchange(*comm.busObserver(), request, result == 0 ? readAnswer(slave, {0, 1}) : Bytes{},
                 result);
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
    EXPECT_TRUE(monitor.refresh().added == 4);
    EXPECT_EQ(monitor.rowCount(), 4);
    // Reopened, the frames of before are still there to read.
    monitor.open();
    EXPECT_FALSE(monitor.refresh().any());
}

TEST_F(BusMonitorTest, FiltersBySlaveAndByFailureAndFollowsTheRing) {
    monitor.open();
    poll(1, 0);
    poll(2, 1);
    poll(1, 3);
    EXPECT_EQ(monitor.refresh().added, 6);

    monitor.setSlaveFilter(1);
    auto change = monitor.refresh();
    EXPECT_TRUE(change.reset);
    EXPECT_EQ(monitor.rowCount(), 4);

    monitor.setSlaveFilter(0);
    monitor.setFailuresOnly(true);
    monitor.refresh();
    ASSERT_EQ(monitor.rowCount(), 4); // request and answer of both failures
    EXPECT_EQ(rows()[0], "slave 2 read 0x000E n=1 ControlMode");
    EXPECT_EQ(rows()[1], "nothing -> no answer, 12 ms");
    EXPECT_EQ(rows()[3], "nothing -> bad answer, 12 ms");

    // Three more polls push the four oldest frames out of the ring of eight.
    poll(3, 1);
    poll(3, 0);
    poll(3, 0);
    change = monitor.refresh();
    EXPECT_EQ(change.removedFront, 2);
    EXPECT_EQ(change.added, 2);
    EXPECT_EQ(monitor.rowCount(), 4);
}

TEST_F(BusMonitorTest, SavesTheRowsShown) {
    monitor.open();
    poll(7, 1);
    monitor.refresh();
    const std::string path = ::testing::TempDir() + "/getkelo-monitor-save.txt";
    std::string error;
    ASSERT_TRUE(monitor.save(path, error)) << error;
    std::ifstream in(path);
    std::string all((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(all, "22:13:20.000 TX 07 03 00 0E 00 01 E5 AF | slave 7 read 0x000E n=1 ControlMode\n"
                   "22:13:20.012 RX - | nothing -> no answer, 12 ms\n");
    std::remove(path.c_str());
    EXPECT_FALSE(monitor.save("/nonexistent-dir/x.txt", error));
    EXPECT_FALSE(error.empty());
}

TEST(BusTrace, WritesEachFrameOnceItIsSettled) {
    std::ostringstream out;
    {
        BusTrace trace(out);
        sent(trace, withCrc({1, 0x03, 0x00, 0x06, 0x00, 0x02}));
        EXPECT_EQ(out.str(), ""); // its answer may still come
        received(trace, readAnswer(1, {0x42, 0x48, 0, 0}));
        trace.transactionDone(0, 9, kT0 + 9);
        sent(trace, text("QT"), FrameUnit::Piece);
        sent(trace, text("X"), FrameUnit::Piece);
    } // the end of the run writes the rest
    std::istringstream lines(out.str());
    std::vector<std::string> got;
    for (std::string l; std::getline(lines, l);)
        got.push_back(l.substr(l.find('|') + 2));
    ASSERT_EQ(got.size(), 3u) << out.str();
    EXPECT_EQ(got[0], "slave 1 read 0x0006 n=2 Setpoint");
    EXPECT_EQ(got[1], "slave 1 answer 4 bytes, CRC ok: Setpoint=50 -> ok, 9 ms");
    EXPECT_EQ(got[2], "text \"QTX\"");
}

} // namespace
} // namespace getkelo
