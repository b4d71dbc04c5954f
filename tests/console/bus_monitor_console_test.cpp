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
    // The meanings of the frames received from `fromSeq` on, for one slave (0: all).
    std::vector<std::string> answers(uint64_t fromSeq, int slave = 0) const {
        std::vector<std::string> out;
        const FrameRing& ring = recorder.ring();
        for (uint64_t s = std::max(fromSeq, ring.firstSeq()); s < ring.nextSeq(); ++s) {
            const FrameRecord* f = ring.find(s);
            const FrameRecord* before = ring.find(s - 1);
            if (f->direction == FrameDirection::Received &&
                (slave == 0 || frameSlave(*f, before) == slave))
                out.push_back(decodeFrame(*f, before));
        }
        return out;
    }
};

TEST_F(MonitoredConsoleTest, DecoderNamesEveryRequestAndAnswerOfAScanAndAPoll) {
    for (int i = 0; i < 5; ++i)
        console->TimerTimer();
    const FrameRing& ring = recorder.ring();
    ASSERT_GT(ring.size(), 247u * 2);
    for (uint64_t s = ring.firstSeq(); s < ring.nextSeq(); ++s) {
        const FrameRecord* f = ring.find(s);
        if (f->direction != FrameDirection::Sent) continue;
        const std::string request = decodeFrame(*f, nullptr);
        EXPECT_TRUE(request.rfind("slave ", 0) == 0 || request.rfind("broadcast write", 0) == 0)
            << request;
        EXPECT_EQ(request.find("malformed"), std::string::npos) << request;
    }
    int found = 0;
    for (const std::string& answer : answers(1)) {
        if (answer.rfind("nothing -> no answer, ", 0) == 0) continue; // an empty address
        ++found;
        EXPECT_EQ(answer.rfind("slave ", 0), 0u) << answer;
        EXPECT_NE(answer.find(", CRC ok"), std::string::npos) << answer;
        EXPECT_NE(answer.find(" -> ok, "), std::string::npos) << answer;
    }
    EXPECT_GT(found, 5 * 5);
    EXPECT_NE(answers(ring.nextSeq() - 30, 1).back().find("Flow="), std::string::npos);
}

TEST_F(MonitoredConsoleTest, BadCrcShortAnswerAndSilenceEachShowTheirOwnResult) {
    for (const char* fault : {"crc 3", "short 4", "silent 5"})
        EXPECT_EQ(sim::runFaultCommand(bus, fault).rfind("ok ", 0), 0u) << fault;
    const uint64_t from = recorder.ring().nextSeq();
    console->TimerTimer();
    const std::pair<int, const char*> expected[] = {
        {1, " -> ok, "},
        {3, ", CRC bad: Flow="},
        {3, " -> bad answer, "},
        {4, " bytes, CRC bad -> short, "},
        {5, "nothing -> no answer, "},
    };
    for (const auto& [slave, text] : expected) {
        const auto got = answers(from, slave);
        ASSERT_EQ(got.size(), 1u) << slave;
        EXPECT_NE(got[0].find(text), std::string::npos) << got[0];
    }
}

} // namespace
} // namespace getkelo::test
