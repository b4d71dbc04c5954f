// Device answers of any shape to the device layer's reads and writes: whatever comes back,
// a result code of 0 to 3, and a good result only for an answer that is the request's own.
#include "../comm/scripted_peer.h"
#include "base/clock.h"
#include "comm/register_catalogue.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "fuzz_input.h"
#include "harnesses.h"

#include <memory>

namespace getkelo::fuzz {
namespace {

using test::Bytes;
using test::ScriptedPeer;

void appendCrc(Bytes& frame) {
    const uint16_t crc = TTesra::Crc16(frame.data(), static_cast<int>(frame.size()));
    frame.push_back(static_cast<uint8_t>(crc));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
}

// What the device sends for one request, as the script says: a well-formed answer (perhaps
// with one byte changed), an exception, raw bytes, several pieces, late, or nothing.
void answer(FuzzInput& in, const Bytes& request, ScriptedPeer& peer) {
    const int pieces = in.byte() % 4;
    for (int i = 0; i < pieces; ++i) {
        const uint8_t kind = in.byte() % 4;
        Bytes b;
        if (kind == 0 && request.size() >= 6) {
            b = {request[0], request[1]};
            if (request[1] == 0x03) {
                const uint8_t n = static_cast<uint8_t>(2 * request[5]);
                b.push_back(n);
                Bytes data = in.bytes(n);
                b.insert(b.end(), data.begin(), data.end());
            } else {
                b.insert(b.end(), request.begin() + 2, request.begin() + 6);
            }
            if (in.flag() && !b.empty()) b[in.byte() % b.size()] ^= in.byte();
            appendCrc(b);
        } else if (kind == 1 && !request.empty()) {
            b = {request[0], static_cast<uint8_t>(request.size() > 1 ? request[1] | 0x80 : 0x83),
                 in.byte()};
            appendCrc(b);
        } else if (kind == 2) {
            b = in.bytes(in.byte() % 40);
            if (in.flag()) appendCrc(b);
        }
        const int delayMs = in.byte() * 4;
        if (!b.empty()) peer.deliver(b, delayMs);
    }
}

RegisterDescriptor descriptorOf(FuzzInput& in) {
    static const RegisterDescriptor known[] = {
        reg::kFlow,          reg::kTemperature,  reg::kSetpoint,        reg::kControlMode,
        reg::kFlowUnitText,  reg::kSerialNumber, reg::kSoftwareVersion, reg::kAccessCode,
        reg::kModbusAddress, reg::kTypeCode1,
    };
    const uint8_t pick = in.byte();
    if (pick < 200) return known[pick % (sizeof known / sizeof known[0])];
    return static_cast<RegisterDescriptor>(in.word()) << 16 | in.word(); // anything at all
}

void checkResult(int result, const char* what) {
    if (result < kResultOk || result > kResultBadAnswer)
        fuzzFailure(what, "gave result " + std::to_string(result));
}

} // namespace

int fuzzRtuAnswer(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    VirtualClock clock;
    TComm comm(clock);
    auto owned = std::make_unique<ScriptedPeer>(clock, in.flag());
    ScriptedPeer* peer = owned.get();
    peer->respond = [&in](const Bytes& request, ScriptedPeer& p) { answer(in, request, p); };
    TTesra tesra(comm, comm.AttachTransport(std::move(owned)));
    tesra.Address = static_cast<uint8_t>(1 + in.byte() % 247);
    tesra.DelayMs = 0;
    comm.RetryLimit = 1 + in.byte() % 4;
    for (int op = 0; op < 4 && !in.empty(); ++op) {
        const int64_t start = clock.nowMs();
        switch (in.byte() % 4) {
        case 0: {
            uint8_t buffer[kFrameBufferSize] = {};
            const uint16_t first = in.word();
            const uint8_t count = static_cast<uint8_t>(1 + in.byte() % 125);
            const int r = tesra.ReadRegisters(buffer, first, count);
            checkResult(r, "ReadRegisters");
            const int length = 5 + 2 * count;
            if (r == kResultOk && (buffer[0] != tesra.Address || buffer[1] != 0x03 ||
                                   buffer[2] != 2 * count || TTesra::Crc16(buffer, length) != 0))
                fuzzFailure("ReadRegisters", "took an answer that is not the request's own");
            break;
        }
        case 1:
            (void)tesra.ReadValue(descriptorOf(in));
            break;
        case 2: {
            const RegisterDescriptor d = descriptorOf(in);
            const std::string text = in.text("0123456789.,-eE abc", 12);
            checkResult(tesra.WriteValue(d, text, in.flag() ? kWriteBroadcast : kWriteAddressed),
                        "WriteValue");
            break;
        }
        default:
            (void)tesra.ReadByte();
            break;
        }
        // However the device answers, one operation ends within its retries' timeouts.
        if (clock.nowMs() - start > 600000) fuzzFailure("operation", "waited over 10 minutes");
        peer->sent.clear();
    }
    return 0;
}

} // namespace getkelo::fuzz
