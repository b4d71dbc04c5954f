#include "base/clock.h"
#include "comm/register_catalogue.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "loopback_clock.h"
#include "loopback_gateway.h"
#include "scripted_peer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

namespace getkelo {
namespace {

using test::Bytes;
using test::fenceAnswer;
using test::isFence;
using test::LoopbackClock;
using test::LoopbackGateway;
using test::readAnswer;

TConnectionSettings loopback(uint16_t port) {
    TConnectionSettings s;
    std::strcpy(s.Address, "127.0.0.1");
    s.Port = port;
    return s;
}

TEST(TcpChannel, AnswerArrivingInPiecesIsAssembled) {
    LoopbackGateway gw;
    gw.serve(1, readAnswer(3, {0x42, 0xC8, 0x00, 0x00}), 2);
    SystemClock clock;
    TComm comm(clock);
    TTesra tesra(comm, loopback(gw.port()));
    ASSERT_GT(tesra.Handle, 0) << comm.LastOpenError;
    EXPECT_TRUE(tesra.IsTcp);
    tesra.Address = 3;
    tesra.DelayMs = 0;
    EXPECT_EQ(tesra.ReadValue(reg::kSetpoint), "100");
}

TEST(TcpChannel, ReachableGatewayConnectsAtOnce) {
    LoopbackGateway gw;
    VirtualClock clock;
    TComm comm(clock);
    TChannel c = comm.OpenChannel(loopback(gw.port()));
    EXPECT_GT(c.Handle, 0);
    EXPECT_LE(clock.nowMs() - 1700000000000, 200);
    comm.CloseChannel(c);
}

TEST(TcpChannel, RefusingGatewayFailsAfterFiftyAttemptsOfVirtualTime) {
    uint16_t port;
    {
        LoopbackGateway closed; // a port nobody listens on any more
        port = closed.port();
    }
    VirtualClock clock;
    TComm comm(clock);
    auto realStart = std::chrono::steady_clock::now();
    TChannel c = comm.OpenChannel(loopback(port));
    EXPECT_EQ(c.Handle, -1);
    EXPECT_TRUE(c.IsTcp);
    EXPECT_EQ(clock.nowMs() - 1700000000000, 5000);
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(2));
    EXPECT_NE(comm.LastOpenError.find("refused"), std::string::npos) << comm.LastOpenError;
    uint8_t buf[16] = {};
    EXPECT_EQ(comm.SendReceive(buf, 8, 9, c.IsTcp, c.Handle), 1);
}

TEST(TcpChannel, SilentGatewayFailsAfterFiveSecondsOfVirtualTime) {
    VirtualClock clock;
    TComm comm(clock);
    TConnectionSettings s;
    std::strcpy(s.Address, "192.0.2.1"); // documentation range: nobody answers
    s.Port = 502;
    auto realStart = std::chrono::steady_clock::now();
    TChannel c = comm.OpenChannel(s);
    EXPECT_EQ(c.Handle, -1);
    EXPECT_GE(clock.nowMs() - 1700000000000, 5000);
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(2));
}

TEST(TcpChannel, DroppedConnectionAnswersNothingAndReconnects) {
    LoopbackGateway gw;
    Bytes answer = readAnswer(1, {0x3F, 0x80, 0x00, 0x00});
    gw.serve(1, answer, answer.size());
    LoopbackClock clock;
    TComm comm(clock);
    comm.RetryLimit = 20;
    TTesra tesra(comm, loopback(gw.port()));
    ASSERT_GT(tesra.Handle, 0) << comm.LastOpenError;
    tesra.DelayMs = 0;
    EXPECT_EQ(tesra.ReadValue(reg::kFlow), "1");
    gw.join(); // the gateway has closed the connection

    uint8_t buf[kFrameBufferSize];
    auto realStart = std::chrono::steady_clock::now();
    EXPECT_EQ(tesra.ReadRegisters(buf, 0, 2), kResultNoAnswer);
    EXPECT_EQ(tesra.ReadRegisters(buf, 0, 2), kResultNoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::milliseconds(500))
        << "a dropped connection must not cost real time beyond its wait windows";

    // The failures fence the device: a fence read goes before the read itself.
    gw.serve(2, LoopbackGateway::Responder([answer](const Bytes& req) {
                 return isFence(req) ? fenceAnswer(req) : answer;
             }));
    clock.sleepMs(1000);
    EXPECT_EQ(tesra.ReadValue(reg::kFlow), "1") << "reconnected on send";
}

} // namespace
} // namespace getkelo
