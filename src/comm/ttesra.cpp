#include "comm/ttesra.h"

#include "base/clock.h"
#include "comm/crc16.h"
#include "comm/rtu_answer.h"
#include "comm/value_codec.h"

#include <cstring>

namespace getkelo {
namespace {

constexpr uint8_t kReadHolding = 0x03;
constexpr uint8_t kWriteMultiple = 0x10;
constexpr int kWriteAttempts = 8;
constexpr int kWritePauseMs = 100;
// Room for a few answers: stale or duplicated ones may stand before ours.
constexpr int kReceiveCapacity = 512;

} // namespace

TTesra::TTesra(TComm& comm, const TConnectionSettings& settings) : comm_(comm) {
    TChannel channel = comm_.OpenChannel(settings);
    IsTcp = channel.IsTcp;
    Handle = channel.Handle;
}

TTesra::TTesra(TComm& comm, TChannel channel)
    : IsTcp(channel.IsTcp), Handle(channel.Handle), comm_(comm) {}

TTesra::~TTesra() {
    TChannel channel{IsTcp, Handle};
    comm_.CloseChannel(channel);
}

uint16_t TTesra::Crc16(const uint8_t* frame, int length) {
    return getkelo::Crc16(frame, length);
}

int TTesra::Transact(uint8_t* frame, int requestLength, int answerLength) {
    BusObserver* observer = comm_.busObserver();
    if (!observer) return transactFenced(frame, requestLength, answerLength);
    const int64_t start = comm_.clock().nowMs();
    const int result = transactFenced(frame, requestLength, answerLength);
    const int64_t end = comm_.clock().nowMs();
    observer->transactionDone(result, static_cast<int>(end - start), end);
    return result;
}

int TTesra::transactFenced(uint8_t* frame, int requestLength, int answerLength) {
    LastException = 0;
    appendCrc(frame, requestLength);
    if (Handle <= 0 || !comm_.transportOf(Handle))
        return answerLength > 0 ? kResultNoAnswer : kResultOk;
    if (answerLength <= 0) {
        discardStray();
        (void)comm_.SendFrame(frame, requestLength + 2, IsTcp, Handle);
        return kResultOk;
    }
    const uint8_t slave = frame[0];
    const AnswerExpectation expected = expectAnswer(frame, requestLength, answerLength);
    const bool fenced = guard_.fenced(slave);
    if (fenced) {
        const int result =
            fence(slave, expected.function == kReadHolding ? expected.byteCount : -1);
        if (result != kResultOk) return result;
    }
    bool clean = false;
    const int result = exchange(frame, requestLength + 2, expected, clean);
    if (fenced && clean) guard_.cleanExchange(slave);
    return result;
}

int TTesra::fence(uint8_t slave, int byteCountInHand) {
    const uint8_t count = guard_.fenceCount(slave, byteCountInHand);
    uint8_t frame[kFrameBufferSize] = {slave,
                                       kReadHolding,
                                       static_cast<uint8_t>(StaleAnswerGuard::kFenceRegister >> 8),
                                       static_cast<uint8_t>(StaleAnswerGuard::kFenceRegister),
                                       0x00,
                                       count};
    appendCrc(frame, 6);
    AnswerExpectation expected = expectAnswer(frame, 6, 5 + 2 * count);
    // A refusal carries no echo: it may be the late one of an earlier request.
    expected.exceptionIsOurs = false;
    bool clean = false;
    return exchange(frame, 8, expected, clean);
}

bool TTesra::discardStray() {
    if (!comm_.PurgeInput(IsTcp, Handle)) return false;
    // Most likely the late answer of the device asked last; more of it may follow.
    guard_.suspect(lastSlave_);
    return true;
}

int TTesra::exchange(uint8_t* frame, int length, const AnswerExpectation& expected, bool& clean) {
    const uint8_t slave = frame[0];
    discardStray();
    (void)comm_.SendFrame(frame, length, IsTcp, Handle);
    lastSlave_ = slave;
    if (expected.function == kReadHolding) guard_.readSent(slave, expected.byteCount);

    uint8_t rx[kReceiveCapacity];
    AnswerScanner scan(expected);
    const int got =
        comm_.ReadBytes(rx, sizeof rx, IsTcp, Handle,
                        [&scan](const uint8_t* data, int n) { return scan.feed(data, n); });
    int result = kResultNoAnswer;
    switch (scan.state()) {
    case AnswerScanner::State::Ours:
        std::memcpy(frame, rx + scan.offset(), static_cast<size_t>(scan.frameLength()));
        result = kResultOk;
        break;
    case AnswerScanner::State::Refused:
        std::memcpy(frame, rx + scan.offset(), static_cast<size_t>(scan.frameLength()));
        LastException = frame[2];
        result = kResultShort;
        break;
    case AnswerScanner::State::Garbage:
        result = kResultBadAnswer;
        break;
    case AnswerScanner::State::Waiting:
        result = scan.partial(got) > 0 ? kResultShort : kResultNoAnswer;
        break;
    }
    const bool answered =
        scan.state() == AnswerScanner::State::Ours || scan.state() == AnswerScanner::State::Refused;
    // What is left of a failed answer must not become the start of the next one.
    if (!answered) comm_.PurgeInput(IsTcp, Handle);
    clean = answered && scan.clean();
    if (!clean) guard_.suspect(slave);
    return result;
}

int TTesra::ReadRegisters(uint8_t* buffer, uint16_t startRegister, uint8_t count) {
    int result = kResultNoAnswer;
    if (count <= kMaxReadRegisters) {
        buffer[0] = Address;
        buffer[1] = kReadHolding;
        buffer[2] = static_cast<uint8_t>(startRegister >> 8);
        buffer[3] = static_cast<uint8_t>(startRegister);
        buffer[4] = 0x00;
        buffer[5] = count;
        result = Transact(buffer, 6, 5 + 2 * count);
    }
    if (DelayMs != 0) comm_.clock().sleepMs(DelayMs);
    return result;
}

std::string TTesra::ReadValue(RegisterDescriptor descriptor) {
    // A descriptor that does not cover its type would show answer bytes that are no value.
    if (!descriptorProblem(descriptor, DescriptorUse::Read).empty()) return "Fehler";
    uint8_t buffer[kFrameBufferSize] = {};
    if (ReadRegisters(buffer, descRegister(descriptor), descCount(descriptor)) != kResultOk)
        return "Fehler";
    return ValueToText(buffer + 3, descType(descriptor));
}

int TTesra::WriteValue(RegisterDescriptor descriptor, const std::string& text, int8_t mode) {
    if (!descriptorProblem(descriptor, DescriptorUse::Write).empty()) return 1;
    const int n = descCount(descriptor);
    // mode counts the attempts; a success lifts it to 100, so >= 100 means done.
    int m = mode;
    do {
        uint8_t frame[kFrameBufferSize] = {};
        frame[0] = m >= kWriteBroadcast ? 0 : Address;
        frame[1] = kWriteMultiple;
        frame[2] = static_cast<uint8_t>(descriptor >> 24);
        frame[3] = static_cast<uint8_t>(descriptor >> 16);
        frame[4] = 0x00;
        frame[5] = static_cast<uint8_t>(n);
        frame[6] = static_cast<uint8_t>(2 * n);
        TextToValue(frame + 7, descType(descriptor), text);
        int result = Transact(frame, 7 + 2 * n, m >= 111 ? 0 : 8);
        if (result == kResultOk)
            m = 100;
        else if (result == kResultShort)
            return 1; // the device refused: asking again won't help
        comm_.clock().sleepMs(kWritePauseMs);
        ++m;
    } while (m < kWriteAttempts);
    return m < 100 ? 1 : 0;
}

uint8_t TTesra::ReadByte() {
    uint8_t b = 0;
    return comm_.ReceiveBytes(&b, 1, IsTcp, Handle) > 0 ? b : 0;
}

} // namespace getkelo
