// The traffic decoder on what the console really sends: a scan and polls of the demo bus.
#include "comm/bus_decoder.h"
#include "comm/bus_recorder.h"
#include "console_fixture.h"
#include "sim/fault_commands.h"

namespace getkelo::test {
namespace {

class MonitoredConsoleTest : public ConsoleTest {
  protected:
    BusRecorder recorder{100000};

    void SetUp() override {
        for (const auto& c : sim::demoBus())
            bus.addDevice(c);
        comm.setBusObserver(&recorder);
        start();
        finishScan();
        ASSERT_EQ(list().count(), 5);
        console->setPollAll(true);
    }
    void tick() {
        clock.sleepMs(100);
        console->TimerTimer();
    }
    // The meanings of the received frames of one slave.
    std::vector<std::string> answersOf(int slave, uint64_t fromSeq) const {
        std::vector<std::string> out;
        const FrameRing& ring = recorder.ring();
        for (uint64_t s = std::max(fromSeq, ring.firstSeq()); s < ring.nextSeq(); ++s) {
            const FrameRecord* f = ring.find(s);
            const FrameRecord* before = ring.find(s - 1);
            if (f->direction == FrameDirection::Received && frameSlave(*f, before) == slave)
                out.push_back(decodeFrame(*f, before));
        }
        return out;
    }
};

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

TEST_F(MonitoredConsoleTest, DecoderNamesEveryRequestAndAnswerOfAScanAndAPoll) {
    for (int i = 0; i < 5; ++i)
        tick();
    const FrameRing& ring = recorder.ring();
    ASSERT_GT(ring.size(), 247u * 2);
    ASSERT_LT(ring.size(), ring.capacity());
    int answers = 0;
    for (uint64_t s = ring.firstSeq(); s < ring.nextSeq(); ++s) {
        const FrameRecord* f = ring.find(s);
        const std::string meaning = decodeFrame(*f, ring.find(s - 1));
        if (f->direction == FrameDirection::Sent) {
            EXPECT_TRUE(startsWith(meaning, "slave ") || startsWith(meaning, "broadcast write"))
                << meaning;
            EXPECT_EQ(meaning.find("malformed"), std::string::npos) << meaning;
        } else if (f->length == 0) {
            EXPECT_EQ(meaning.substr(0, 22), "nothing -> no answer, ") << meaning;
        } else {
            ++answers;
            EXPECT_TRUE(startsWith(meaning, "slave ")) << meaning;
            EXPECT_NE(meaning.find(", CRC ok"), std::string::npos) << meaning;
            EXPECT_NE(meaning.find(" -> ok, "), std::string::npos) << meaning;
        }
    }
    EXPECT_GT(answers, 5 * 5);
    // A poll names what it reads.
    const auto polls = answersOf(1, ring.nextSeq() - 30);
    ASSERT_FALSE(polls.empty());
    EXPECT_NE(polls.back().find("Flow="), std::string::npos) << polls.back();
    EXPECT_NE(polls.back().find("Temperature="), std::string::npos) << polls.back();
}

TEST_F(MonitoredConsoleTest, BadCrcShortAnswerAndSilenceEachShowTheirOwnResult) {
    EXPECT_EQ(sim::runFaultCommand(bus, "crc 3"), "ok crc 3");
    EXPECT_EQ(sim::runFaultCommand(bus, "short 4"), "ok short 4");
    EXPECT_EQ(sim::runFaultCommand(bus, "silent 5"), "ok silent 5");
    const uint64_t from = recorder.ring().nextSeq();
    tick();
    const auto crc = answersOf(3, from);
    const auto cut = answersOf(4, from);
    const auto silent = answersOf(5, from);
    ASSERT_EQ(crc.size(), 1u);
    ASSERT_EQ(cut.size(), 1u);
    ASSERT_EQ(silent.size(), 1u);
    EXPECT_NE(crc[0].find(", CRC bad: "), std::string::npos) << crc[0];
    EXPECT_NE(crc[0].find(" -> bad answer, "), std::string::npos) << crc[0];
    EXPECT_NE(cut[0].find(" bytes, CRC bad -> short, "), std::string::npos) << cut[0];
    EXPECT_EQ(silent[0].substr(0, 22), "nothing -> no answer, ") << silent[0];
    EXPECT_EQ(answersOf(1, from).size(), 1u);
    EXPECT_NE(answersOf(1, from)[0].find("-> ok"), std::string::npos);
}

} // namespace
} // namespace getkelo::test
