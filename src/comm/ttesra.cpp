#include "comm/ttesra.h"

#include "base/clock.h"
#include "comm/crc16.h"
#include "comm/value_codec.h"

namespace getkelo {
namespace {

constexpr uint8_t kReadHolding = 0x03;
constexpr uint8_t kWriteSingle = 0x06;
constexpr uint8_t kWriteMultiple = 0x10;
constexpr uint8_t kExceptionBit = 0x80;
constexpr uint16_t kSlaveAddressRegister = 0x0013;
constexpr int kExceptionLength = 5;
constexpr int kMaxReadRegisters = 125;  // largest function 03 answer: 255 bytes
constexpr int kMaxWriteRegisters = 123; // largest function 16 request: 255 bytes
constexpr int kWriteAttempts = 8;
constexpr int kWritePauseMs = 100;

// An exception answer: slave, function | 0x80, exception code, CRC low, CRC high.
bool isException(const uint8_t* data, int length, uint8_t function) {
    return length >= kExceptionLength && data[1] == (function | kExceptionBit) &&
           crcMatches(data, kExceptionLength);
}

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
    if (!observer) return exchange(frame, requestLength, answerLength);
    const int64_t start = comm_.clock().nowMs();
    const int result = exchange(frame, requestLength, answerLength);
    const int64_t end = comm_.clock().nowMs();
    observer->transactionDone(result, static_cast<int>(end - start), end);
    return result;
}

int TTesra::exchange(uint8_t* frame, int requestLength, int answerLength) {
    LastException = 0;
    appendCrc(frame, requestLength);
    const uint8_t slave = frame[0];
    const uint8_t function = frame[1];
    // A slave-address change is answered by the device under its new address.
    const bool addressChange =
        function == kWriteSingle && (frame[2] << 8 | frame[3]) == kSlaveAddressRegister;
    const uint8_t newSlave = frame[5];

    AnswerComplete exceptionEnds = [function](const uint8_t* data, int length) {
        return isException(data, length, function);
    };
    int result =
        comm_.SendReceive(frame, requestLength + 2, answerLength, IsTcp, Handle, exceptionEnds);
    if (answerLength == 0) return kResultOk;
    if (result != kResultOk) {
        // An exception answer ends the wait early, short of the expected length.
        if (isException(frame, kExceptionLength, function)) LastException = frame[2];
        return result;
    }
    if (!crcMatches(frame, answerLength)) {
        // An answer of exactly the exception's length with a good CRC is still an exception.
        if (isException(frame, answerLength, function)) {
            LastException = frame[2];
            return kResultShort;
        }
        comm_.PurgeInput(IsTcp, Handle);
        return kResultBadAnswer;
    }
    if (isException(frame, answerLength, function)) {
        LastException = frame[2];
        return kResultShort;
    }
    // Check the echo field by field: an answer of another slave or to another request is not
    // ours, however good its CRC.
    const bool slaveOk = frame[0] == slave || (addressChange && frame[0] == newSlave);
    if (!slaveOk || frame[1] != function) {
        comm_.PurgeInput(IsTcp, Handle);
        return kResultBadAnswer;
    }
    return kResultOk;
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
    uint8_t buffer[kFrameBufferSize] = {};
    if (ReadRegisters(buffer, descRegister(descriptor), descCount(descriptor)) != kResultOk)
        return "Fehler";
    return ValueToText(buffer + 3, descType(descriptor));
}

int TTesra::WriteValue(RegisterDescriptor descriptor, const std::string& text, int8_t mode) {
    const int n = descCount(descriptor);
    if (n > kMaxWriteRegisters) return 1;
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
