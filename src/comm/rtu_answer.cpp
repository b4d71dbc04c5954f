#include "comm/rtu_answer.h"

#include "comm/crc16.h"

#include <cstring>

namespace getkelo {
namespace {

constexpr uint8_t kExceptionBit = 0x80;
constexpr int kExceptionLength = 5;
constexpr uint16_t kSlaveAddressRegister = 0x0013;
constexpr int kMaxSkipped = 16; // a peer that keeps talking past us is not waited out

} // namespace

int rtuAnswerLength(const uint8_t* d, int available) {
    if (available < 2) return 0;
    if (d[0] == 0 || d[0] > 247) return -1; // nobody answers from the broadcast address
    if (d[1] & kExceptionBit) return kExceptionLength;
    switch (d[1]) {
    case 0x01: // reads: slave, function, byte count, data, CRC
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x17:
        return available < 3 ? 0 : 5 + d[2];
    case 0x05: // writes: the echo of register and value or count
    case 0x06:
    case 0x0F:
    case 0x10:
        return 8;
    default:
        return -1;
    }
}

AnswerExpectation expectAnswer(const uint8_t* req, int requestLength, int answerLength) {
    AnswerExpectation e;
    e.slave = req[0];
    e.function = req[1];
    e.length = answerLength;
    if (requestLength < 6) return e;
    const int start = req[2] << 8 | req[3];
    switch (e.function) {
    case 0x03:
        e.byteCount = 2 * (req[4] << 8 | req[5]);
        break;
    case 0x06:
        e.checkEcho = true;
        std::memcpy(e.echo, req + 2, 4);
        if (start == kSlaveAddressRegister) e.otherSlave = req[5];
        break;
    case 0x10: {
        e.checkEcho = true;
        std::memcpy(e.echo, req + 2, 4);
        // A write that moves the device is answered from where it now is.
        const int count = req[4] << 8 | req[5];
        const int at = 7 + 2 * (kSlaveAddressRegister - start) + 1;
        if (start <= kSlaveAddressRegister && kSlaveAddressRegister < start + count &&
            at < requestLength)
            e.otherSlave = req[at];
        break;
    }
    default:
        break;
    }
    return e;
}

AnswerKind classifyAnswer(const uint8_t* f, int length, const AnswerExpectation& e) {
    const bool slaveOk = f[0] == e.slave || (e.otherSlave >= 0 && f[0] == e.otherSlave);
    if (!slaveOk) return AnswerKind::Foreign;
    if (f[1] == (e.function | kExceptionBit) && length == kExceptionLength)
        return e.exceptionIsOurs ? AnswerKind::Refused : AnswerKind::Foreign;
    if (f[1] != e.function || length != e.length) return AnswerKind::Foreign;
    if (e.byteCount >= 0 && f[2] != e.byteCount) return AnswerKind::Foreign;
    if (e.checkEcho && std::memcmp(f + 2, e.echo, 4) != 0) return AnswerKind::Foreign;
    return AnswerKind::Ours;
}

bool AnswerScanner::feed(const uint8_t* data, int length) {
    while (position_ < length) {
        const uint8_t* f = data + position_;
        const int available = length - position_;
        int n = rtuAnswerLength(f, available);
        // A function the table does not know is still ours when the request used it.
        if (n < 0 && available >= 2 && f[0] == expected_.slave && f[1] == expected_.function)
            n = expected_.length;
        if (n == 0 || n > available) break;
        const bool found = state_ == State::Ours || state_ == State::Refused;
        if (n < 0 || !crcMatches(f, n)) {
            // Noise: the frame boundaries are lost. Behind a complete answer it only makes
            // the line suspect; before one it spoils the exchange.
            if (!found) state_ = State::Garbage;
            trailing_ = true;
            position_ = length;
            return true;
        }
        ++frames_;
        switch (classifyAnswer(f, n, expected_)) {
        case AnswerKind::Ours:
            state_ = State::Ours;
            found_ = position_;
            foundLength_ = n;
            break;
        case AnswerKind::Refused:
            state_ = State::Refused;
            found_ = position_;
            foundLength_ = n;
            break;
        case AnswerKind::Foreign:
            if (++skipped_ > kMaxSkipped && !found) {
                state_ = State::Garbage;
                return true;
            }
            break;
        }
        position_ += n;
    }
    if (state_ != State::Ours && state_ != State::Refused) return false;
    if (position_ < length) trailing_ = true;
    return true;
}

} // namespace getkelo
