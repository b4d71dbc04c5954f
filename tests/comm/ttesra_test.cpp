#include "base/clock.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "scripted_peer.h"

#include <gtest/gtest.h>

namespace getkelo {
namespace {

using test::Bytes;
using test::exceptionAnswer;
using test::readAnswer;
using test::ScriptedPeer;
using test::withCrc;
using test::writeEcho;

class TTesraTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    TComm comm{clock};
    ScriptedPeer* peer = nullptr;
    std::unique_ptr<TTesra> tesra;

    void SetUp() override {
        auto p = std::make_unique<ScriptedPeer>(clock);
        peer = p.get();
        tesra = std::make_unique<TTesra>(comm, comm.AttachTransport(std::move(p)));
        tesra->Address = 5;
        tesra->DelayMs = 0;
    }
    void answerWith(Bytes answer) {
        peer->respond = [answer](const Bytes&, ScriptedPeer& p) { p.deliver(answer); };
    }
};

// The four outcomes of an exchange, each from a peer that behaves accordingly.
TEST_F(TTesraTest, TransactResults) {
    struct Case {
        const char* name;
        Bytes answer;
        int result;
    };
    Bytes good = readAnswer(5, {0x00, 0x07, 0x00, 0x00});
    Bytes badCrc = good;
    badCrc.back() ^= 0xFF;
    const Case cases[] = {
        {"complete answer", good, kResultOk},
        {"silence", {}, kResultNoAnswer},
        {"first half", Bytes(good.begin(), good.begin() + 4), kResultShort},
        {"wrong CRC", badCrc, kResultBadAnswer},
    };
    for (const auto& c : cases) {
        answerWith(c.answer);
        uint8_t frame[kFrameBufferSize] = {5, 0x03, 0x00, 0x00, 0x00, 0x02};
        EXPECT_EQ(tesra->Transact(frame, 6, 9), c.result) << c.name;
        EXPECT_EQ(peer->sent.back(), withCrc({5, 0x03, 0x00, 0x00, 0x00, 0x02})) << c.name;
    }
}

// A stale or foreign answer must never be taken for the one asked for.
TEST_F(TTesraTest, AnswerFromAnotherSlaveOrFunctionIsRejected) {
    for (const Bytes& answer : {readAnswer(6, {0x00, 0x07, 0x00, 0x00}),
                                withCrc({5, 0x04, 0x04, 0x00, 0x07, 0x00, 0x00})}) {
        answerWith(answer);
        peer->purges = 0;
        uint8_t buf[kFrameBufferSize];
        EXPECT_EQ(tesra->ReadRegisters(buf, 0x0000, 2), kResultBadAnswer);
        EXPECT_GE(peer->purges, 2) << "input purged after the mismatch";
    }
}

TEST_F(TTesraTest, SlaveAddressChangeIsAcceptedFromTheNewAddress) {
    peer->respond = [](const Bytes& req, ScriptedPeer& p) {
        Bytes echo(req.begin(), req.end() - 2);
        echo[0] = req[5]; // the device already answers under its new address
        p.deliver(withCrc(echo));
    };
    uint8_t frame[kFrameBufferSize] = {5, 0x06, 0x00, 0x13, 0x00, 0x21};
    EXPECT_EQ(tesra->Transact(frame, 6, 8), kResultOk);
    uint8_t other[kFrameBufferSize] = {5, 0x06, 0x00, 0x14, 0x00, 0x21};
    EXPECT_EQ(tesra->Transact(other, 6, 8), kResultBadAnswer) << "only for register 0x0013";
}

TEST_F(TTesraTest, ExceptionAnswerEndsTheWaitAtOnce) {
    answerWith(exceptionAnswer(5, 0x03));
    uint8_t buf[kFrameBufferSize];
    int64_t start = clock.nowMs();
    EXPECT_EQ(tesra->ReadRegisters(buf, 0x7000, 2), kResultShort);
    EXPECT_LT(clock.nowMs() - start, 10) << "no wait window run out";
}

TEST_F(TTesraTest, ReadRegistersSleepsDelayMsWhateverTheResult) {
    tesra->DelayMs = 100;
    uint8_t buf[kFrameBufferSize];
    answerWith(readAnswer(5, {0, 1}));
    int64_t start = clock.nowMs();
    EXPECT_EQ(tesra->ReadRegisters(buf, 0x0021, 1), kResultOk);
    EXPECT_EQ(clock.nowMs() - start, 100);
    answerWith({});
    start = clock.nowMs();
    EXPECT_EQ(tesra->ReadRegisters(buf, 0x0021, 1), kResultNoAnswer);
    EXPECT_EQ(clock.nowMs() - start, 1000 + 100);
    tesra->DelayMs = 0;
    answerWith(readAnswer(5, {0, 1}));
    start = clock.nowMs();
    EXPECT_EQ(tesra->ReadRegisters(buf, 0x0021, 1), kResultOk);
    EXPECT_EQ(clock.nowMs(), start);
}

TEST_F(TTesraTest, ReadValueOfSetpointAndFehlerOnCorruptedCrc) {
    Bytes answer = readAnswer(5, {0x42, 0xC8, 0x00, 0x00});
    answerWith(answer);
    EXPECT_EQ(tesra->ReadValue(reg::kSetpoint), "100");
    EXPECT_EQ(peer->sent.back(), withCrc({5, 0x03, 0x00, 0x06, 0x00, 0x02}));
    answer[answer.size() - 2] ^= 1;
    answerWith(answer);
    EXPECT_EQ(tesra->ReadValue(reg::kSetpoint), "Fehler");
}

TEST_F(TTesraTest, GarbageBeforeTheRequestIsDiscarded) {
    peer->deliver({0xFF, 0x00, 0x13});
    answerWith(readAnswer(5, {0x3F, 0x80, 0x00, 0x00}));
    EXPECT_EQ(tesra->ReadValue(reg::kFlow), "1");
}

TEST_F(TTesraTest, GarbageBeforeTheAnswerFailsOnlyThatExchange) {
    peer->respond = [](const Bytes&, ScriptedPeer& p) {
        Bytes noisy{0x00, 0xFF};
        Bytes a = readAnswer(5, {0x3F, 0x80, 0x00, 0x00});
        noisy.insert(noisy.end(), a.begin(), a.end());
        p.deliver(noisy);
    };
    EXPECT_EQ(tesra->ReadValue(reg::kFlow), "Fehler");
    answerWith(readAnswer(5, {0x3F, 0x80, 0x00, 0x00}));
    EXPECT_EQ(tesra->ReadValue(reg::kFlow), "1") << "the tail of the noisy answer is gone";
}

TEST_F(TTesraTest, WriteValueFrameAndSuccess) {
    peer->respond = [](const Bytes& req, ScriptedPeer& p) { p.deliver(writeEcho(req)); };
    int64_t start = clock.nowMs();
    EXPECT_EQ(tesra->WriteValue(reg::kSetpoint, "12,5", kWriteAddressed), 0);
    ASSERT_EQ(peer->sent.size(), 1u);
    EXPECT_EQ(peer->sent[0],
              withCrc({5, 0x10, 0x00, 0x06, 0x00, 0x02, 0x04, 0x41, 0x48, 0x00, 0x00}));
    EXPECT_EQ(clock.nowMs() - start, 100) << "a success is also followed by 100 ms";
}

TEST_F(TTesraTest, WriteValueToSilentDeviceFailsAfterExactlyEightSends) {
    EXPECT_EQ(tesra->WriteValue(reg::kSetpoint, "1", kWriteAddressed), 1);
    EXPECT_EQ(peer->sent.size(), 8u);
}

TEST_F(TTesraTest, WriteValueRetriesAfterWrongCrcAndSucceeds) {
    int calls = 0;
    peer->respond = [&calls](const Bytes& req, ScriptedPeer& p) {
        Bytes echo = writeEcho(req);
        if (++calls < 3) echo.back() ^= 1;
        p.deliver(echo);
    };
    EXPECT_EQ(tesra->WriteValue(reg::kSetpoint, "1", kWriteAddressed), 0);
    EXPECT_EQ(peer->sent.size(), 3u);
}

TEST_F(TTesraTest, WriteValueGivesUpAfterOneSendOnException) {
    answerWith(exceptionAnswer(5, 0x10));
    int64_t start = clock.nowMs();
    EXPECT_EQ(tesra->WriteValue(reg::kSetpoint, "1", kWriteAddressed), 1);
    EXPECT_EQ(peer->sent.size(), 1u);
    EXPECT_LT(clock.nowMs() - start, 10) << "no wait window and no pause";
}

TEST_F(TTesraTest, BroadcastSendsOneFrameToAddressZeroAndReadsNothing) {
    answerWith(writeEcho(withCrc({0, 0x10, 0x00, 0x2B, 0x00, 0x02})));
    EXPECT_EQ(tesra->WriteValue(reg::kAccessCode, "0", kWriteBroadcast), 0);
    ASSERT_EQ(peer->sent.size(), 1u);
    EXPECT_EQ(peer->sent[0][0], 0);
    EXPECT_EQ(peer->receives, 0);
}

TEST_F(TTesraTest, TextWriteFillsAllRegistersWithNulPadding) {
    peer->respond = [](const Bytes& req, ScriptedPeer& p) { p.deliver(writeEcho(req)); };
    EXPECT_EQ(tesra->WriteValue(reg::kSlotFlowUnit, "ln/min", kWriteAddressed), 0);
    Bytes want{5, 0x10, 0x60, 0x46, 0x00, 0x04, 0x08, 'l', 'n', '/', 'm', 'i', 'n', 0, 0};
    EXPECT_EQ(peer->sent[0], withCrc(want));
}

TEST_F(TTesraTest, ReadByteDrainsOneByteOrGivesZero) {
    peer->deliver({0x42});
    EXPECT_EQ(tesra->ReadByte(), 0x42);
    EXPECT_EQ(tesra->ReadByte(), 0);
}

TEST(TTesraChannel, FailedOpenAnswersNoAnswerAndDestructorCloses) {
    VirtualClock clock;
    TComm comm{clock};
    TTesra tesra(comm, TChannel{true, -1});
    uint8_t buf[kFrameBufferSize];
    EXPECT_EQ(tesra.ReadRegisters(buf, 0, 2), kResultNoAnswer);
    EXPECT_EQ(tesra.ReadValue(reg::kFlow), "Fehler");
    EXPECT_EQ(tesra.WriteValue(reg::kSetpoint, "1", kWriteAddressed), 1);
}

} // namespace
} // namespace getkelo
