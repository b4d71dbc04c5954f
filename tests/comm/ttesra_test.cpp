#include "base/clock.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "scripted_peer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace getkelo {
namespace {

using test::Bytes;
using test::exceptionAnswer;
using test::fenceAnswer;
using test::isFence;
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
    // Answers every request with `answer`, and the fence read that follows trouble as a
    // device would.
    void answerWith(Bytes answer) {
        peer->respond = [answer](const Bytes& req, ScriptedPeer& p) {
            p.deliver(isFence(req) ? fenceAnswer(req) : answer);
        };
    }
};

Bytes request(std::initializer_list<uint8_t> pdu) {
    return Bytes(pdu);
}

// Each row: a request, what arrives after it, the result. Only the answer to the request in
// hand counts: slave, function, the byte count of a read and the echo of a write must match;
// what else stands before it is passed over, a later copy of a read wins.
TEST_F(TTesraTest, OnlyTheAnswerToTheRequestInHandCounts) {
    const Bytes read = request({5, 0x03, 0x00, 0x06, 0x00, 0x02});
    const Bytes w06 = request({5, 0x06, 0x00, 0x0E, 0x00, 0x01});
    const Bytes w16 = request({5, 0x10, 0x00, 0x14, 0x00, 0x02, 0x04, 0, 0, 0, 0});
    const Bytes move06 = request({5, 0x06, 0x00, 0x13, 0x00, 0x21});
    const Bytes move16 = request({5, 0x10, 0x00, 0x13, 0x00, 0x01, 0x02, 0x00, 0x21});
    const Bytes ours = readAnswer(5, {0x42, 0xC8, 0x00, 0x00});
    Bytes badCrc = ours;
    badCrc.back() ^= 0xFF;
    const Bytes setpointEcho = withCrc({5, 0x10, 0x00, 0x06, 0x00, 0x02});
    struct Case {
        const char* name;
        Bytes request;
        std::vector<Bytes> arriving;
        int result;
    };
    const Case cases[] = {
        {"complete answer", read, {ours}, kResultOk},
        {"silence", read, {}, kResultNoAnswer},
        {"first half", read, {Bytes(ours.begin(), ours.begin() + 4)}, kResultShort},
        {"wrong CRC", read, {badCrc}, kResultBadAnswer},
        {"noise before the answer", read, {{0x00, 0xFF}, ours}, kResultBadAnswer},
        {"only another slave's answer", read, {readAnswer(6, {1, 2, 3, 4})}, kResultNoAnswer},
        {"another slave first", read, {readAnswer(6, {1, 2, 3, 4}), ours}, kResultOk},
        {"another function first", read, {withCrc({5, 0x04, 4, 1, 2, 3, 4}), ours}, kResultOk},
        {"a read of another length first", read, {readAnswer(5, {0, 1}), ours}, kResultOk},
        {"a write echo first", read, {setpointEcho, ours}, kResultOk},
        {"same length, the later counts", read, {readAnswer(5, {1, 2, 3, 4}), ours}, kResultOk},
        {"a stale refusal first", read, {exceptionAnswer(5, 0x03), ours}, kResultOk},
        {"06 echoed", w06, {withCrc(w06)}, kResultOk},
        {"06 echo of another value", w06, {withCrc({5, 6, 0, 0x0E, 0, 2})}, kResultNoAnswer},
        {"06 address change", move06, {withCrc({0x21, 6, 0, 0x13, 0, 0x21})}, kResultOk},
        {"16 address change", move16, {withCrc({0x21, 0x10, 0, 0x13, 0, 1})}, kResultOk},
        {"16 echo of another register", w16, {setpointEcho}, kResultNoAnswer},
        {"16 echo of another count", w16, {withCrc({5, 0x10, 0, 0x14, 0, 1})}, kResultNoAnswer},
        {"16 stale echo, then refused",
         w16,
         {setpointEcho, exceptionAnswer(5, 0x10, 4)},
         kResultShort},
    };
    for (const auto& c : cases) {
        SetUp(); // a fresh connection: no fence from the case before
        peer->respond = [&c](const Bytes&, ScriptedPeer& p) {
            for (const Bytes& b : c.arriving)
                p.deliver(b);
        };
        uint8_t frame[kFrameBufferSize] = {};
        std::copy(c.request.begin(), c.request.end(), frame);
        EXPECT_EQ(tesra->Transact(frame, static_cast<int>(c.request.size()),
                                  c.request[1] == 0x03 ? 9 : 8),
                  c.result)
            << c.name;
        EXPECT_EQ(peer->sent.back(), withCrc(c.request)) << c.name;
        if (c.result == kResultOk && c.request == read) {
            EXPECT_EQ(Bytes(frame, frame + 9), ours) << c.name;
        }
    }
    EXPECT_EQ(tesra->LastException, 0x04);
}

TEST_F(TTesraTest, ExceptionAnswerEndsTheWaitAtOnce) {
    answerWith(exceptionAnswer(5, 0x03));
    uint8_t buf[kFrameBufferSize];
    int64_t start = clock.nowMs();
    EXPECT_EQ(tesra->ReadRegisters(buf, 0x7000, 2), kResultShort);
    EXPECT_LT(clock.nowMs() - start, 10) << "no wait window run out";
    EXPECT_EQ(tesra->LastException, 0x02);
    answerWith(readAnswer(5, {0, 1}));
    EXPECT_EQ(tesra->ReadRegisters(buf, 0x0021, 1), kResultOk);
    EXPECT_EQ(tesra->LastException, 0) << "cleared by the next exchange";
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

TEST_F(TTesraTest, GarbageBeforeTheRequestIsDiscarded) {
    peer->deliver({0xFF, 0x00, 0x13});
    answerWith(readAnswer(5, {0x3F, 0x80, 0x00, 0x00}));
    EXPECT_EQ(tesra->ReadValue(reg::kFlow), "1");
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

TEST_F(TTesraTest, WriteValueRetriesAfterWrongCrcAndSucceeds) {
    int writes = 0;
    peer->respond = [&writes](const Bytes& req, ScriptedPeer& p) {
        if (isFence(req)) return p.deliver(fenceAnswer(req));
        Bytes echo = writeEcho(req);
        if (++writes < 3) echo.back() ^= 1;
        p.deliver(echo);
    };
    EXPECT_EQ(tesra->WriteValue(reg::kSetpoint, "1", kWriteAddressed), 0);
    EXPECT_EQ(writes, 3);
}

TEST_F(TTesraTest, BroadcastSendsOneFrameToAddressZeroAndReadsNothing) {
    answerWith(writeEcho(withCrc({0, 0x10, 0x00, 0x2B, 0x00, 0x02})));
    EXPECT_EQ(tesra->WriteValue(reg::kAccessCode, "0", kWriteBroadcast), 0);
    ASSERT_EQ(peer->sent.size(), 1u);
    EXPECT_EQ(peer->sent[0][0], 0);
    EXPECT_LE(peer->receives, 1) << "no more than the look for stray bytes before sending";
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

// A device whose float registers hold their own register number plus one (register 0x14
// reads 21), behind a gateway that sends every answer once more before the next one.
TEST_F(TTesraTest, DuplicatingGatewayNeverShiftsValues) {
    Bytes previous;
    peer->respond = [&previous](const Bytes& req, ScriptedPeer& p) {
        Bytes answer = isFence(req) ? fenceAnswer(req) : [&req] {
            float v = static_cast<float>(req[3] + 1);
            uint32_t bits;
            std::memcpy(&bits, &v, 4);
            return readAnswer(req[0], {uint8_t(bits >> 24), uint8_t(bits >> 16), 0, 0});
        }();
        if (!previous.empty()) p.deliver(previous);
        p.deliver(answer);
        previous = answer;
    };
    const RegisterDescriptor reads[] = {reg::kFlow,       reg::kTemperature, reg::kRange,
                                        reg::kFlow,       reg::kRange,       reg::kTemperature,
                                        reg::kTemperature};
    for (RegisterDescriptor d : reads)
        EXPECT_EQ(tesra->ReadValue(d), std::to_string(descRegister(d) + 1)) << std::hex << d;
}

// A device that has failed is fenced until it answers cleanly again; an absent one costs
// one answer window per exchange and one request on the wire, as before.
TEST_F(TTesraTest, FenceAfterTroubleCostsNothingExtraForAnAbsentDevice) {
    uint8_t buf[kFrameBufferSize];
    for (int i = 0; i < 3; ++i) {
        peer->sent.clear();
        int64_t start = clock.nowMs();
        EXPECT_EQ(tesra->ReadRegisters(buf, 0x0000, 2), kResultNoAnswer);
        EXPECT_EQ(clock.nowMs() - start, 1000);
        ASSERT_EQ(peer->sent.size(), 1u);
        EXPECT_EQ(isFence(peer->sent[0]), i > 0) << "exchange " << i;
    }
    answerWith(readAnswer(5, {0, 1, 0, 2}));
    for (int i = 0; i < 3; ++i) {
        peer->sent.clear();
        EXPECT_EQ(tesra->ReadRegisters(buf, 0x0000, 2), kResultOk);
        EXPECT_EQ(peer->sent.size(), i < 2 ? 2u : 1u) << "fenced twice, then trusted";
    }
}

TEST(DescriptorProblem, RefusesWhatCannotBeReadAsItsType) {
    struct Case {
        RegisterDescriptor d;
        DescriptorUse use;
        const char* problem; // "" = fine
    } cases[] = {
        {0x00060213, DescriptorUse::Read, ""},
        {0x50001960, DescriptorUse::Write, ""},
        {0x00000413, DescriptorUse::Read, ""}, // more registers than the type needs
        {0x00230450, DescriptorUse::Read, ""},
        {0x00160160, DescriptorUse::Read, "type 0x60 needs 25 registers, the descriptor has 1"},
        {0x00000113, DescriptorUse::Read, "type 0x13 needs 2 registers, the descriptor has 1"},
        {0x00140143, DescriptorUse::Write, "type 0x43 needs 2 registers, the descriptor has 1"},
        {0x00000031, DescriptorUse::Read, "type 0x31 needs 1 register, the descriptor has 0"},
        {0x0000FF31, DescriptorUse::Read, "255 registers are more than one read carries (125)"},
        {0x00007C31, DescriptorUse::Write, "124 registers are more than one write carries (123)"},
        {0x00000299, DescriptorUse::Read, "unknown type code 0x99"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(descriptorProblem(c.d, c.use), c.problem) << std::hex << c.d;
}

TEST_F(TTesraTest, BadDescriptorIsRefusedBeforeAnythingIsSent) {
    answerWith(readAnswer(5, {0x41, 0x42, 0x43, 0x44}));
    EXPECT_EQ(tesra->ReadValue(0x00160160), "Fehler");
    EXPECT_EQ(tesra->ReadValue(0x0000FF31), "Fehler");
    EXPECT_EQ(tesra->WriteValue(0x00000113, "1", kWriteAddressed), 1);
    EXPECT_TRUE(peer->sent.empty());
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
