#include "comm/bus_decoder.h"

#include "base/date_time.h"
#include "comm/crc16.h"
#include "comm/register_catalogue.h"
#include "comm/register_names.h"
#include "comm/value_codec.h"

#include <cstdio>

namespace getkelo {

namespace {

constexpr uint8_t kReadHolding = 0x03;
constexpr uint8_t kWriteSingle = 0x06;
constexpr uint8_t kWriteMultiple = 0x10;
constexpr uint8_t kExceptionBit = 0x80;

bool knownFunction(uint8_t fn) {
    return fn == kReadHolding || fn == kWriteSingle || fn == kWriteMultiple;
}

uint16_t wordAt(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

std::string hex4(unsigned v) {
    char b[8];
    std::snprintf(b, sizeof b, "0x%04X", v & 0xFFFFu);
    return b;
}

std::string hex2(unsigned v) {
    char b[4];
    std::snprintf(b, sizeof b, "%02X", v & 0xFFu);
    return b;
}

bool complete(const FrameRecord& f) {
    return f.kept == f.length;
}

bool crcGood(const FrameRecord& f) {
    return complete(f) && f.length >= 4 && crcMatches(f.bytes, f.length);
}

bool isModbusRequest(const FrameRecord& f) {
    return f.direction == FrameDirection::Sent && f.length >= 4 && knownFunction(f.bytes[1]) &&
           crcGood(f);
}

// A received frame that is a Modbus answer by itself (when its request is not known).
bool looksLikeModbusAnswer(const FrameRecord& f) {
    return f.direction == FrameDirection::Received && f.length >= 4 &&
           knownFunction(f.bytes[1] & ~kExceptionBit) && crcGood(f);
}

std::string slaveText(uint8_t slave) {
    return slave == 0 ? "broadcast" : "slave " + std::to_string(slave);
}

// "Flow=50 Temperature=21.5 0x0008=0000 ...": named registers by their type, others as words.
std::string registerValues(uint16_t start, int count, const uint8_t* data) {
    std::string out;
    int i = 0;
    while (i < count) {
        const uint16_t r = static_cast<uint16_t>(start + i);
        if (!out.empty()) out += ' ';
        const NamedRegister* n = namedRegisterAt(r);
        const int regs = n ? descCount(n->descriptor) : 0;
        if (n && i + regs <= count) {
            const uint8_t type = descType(n->descriptor);
            std::string value = ValueToText(data + 2 * i, type);
            if (type == kTypeText8 || type == kTypeText50) value = '"' + value + '"';
            if (n->descriptor == reg::kHardwareVersion || n->descriptor == reg::kSoftwareVersion)
                value += " (" + versionText(wordAt(data + 2 * i)) + ")";
            out += std::string(n->name) + "=" + value;
            i += regs;
        } else {
            out += hex4(r) + "=" + hex2(data[2 * i]) + hex2(data[2 * i + 1]);
            i += 1;
        }
    }
    return out;
}

std::string rangeName(uint16_t start, int count) {
    const NamedRegister* n = namedRegisterAt(start);
    return n && descCount(n->descriptor) == count ? std::string(" ") + n->name : "";
}

std::string decodeRequest(const FrameRecord& f) {
    const uint8_t* b = f.bytes;
    const std::string who = slaveText(b[0]);
    const uint16_t start = wordAt(b + 2);
    switch (b[1]) {
    case kReadHolding: {
        if (f.length != 8) return who + " read, malformed (" + std::to_string(f.length) + " bytes)";
        const int n = wordAt(b + 4);
        return who + " read " + hex4(start) + " n=" + std::to_string(n) + rangeName(start, n);
    }
    case kWriteSingle:
        if (f.length != 8) return who + " write single, malformed";
        return who + " write single " + registerValues(start, 1, b + 4);
    default: { // write multiple
        const int n = f.length >= 7 ? wordAt(b + 4) : 0;
        if (f.length < 9 || b[6] != 2 * n || f.length != 9 + 2 * n)
            return who + " write, malformed (" + std::to_string(f.length) + " bytes)";
        return who + " write " + hex4(start) + " n=" + std::to_string(n) + ": " +
               registerValues(start, n, b + 7);
    }
    }
}

std::string decodeAnswer(const FrameRecord& f, const FrameRecord* request) {
    if (f.length == 0) return "nothing";
    const uint8_t* b = f.bytes;
    std::string out = slaveText(b[0]);
    if (request && request->bytes[0] != b[0])
        out += " (asked " + slaveText(request->bytes[0]) + ")";
    if (f.length < 2) return out + ", 1 byte";
    const uint8_t fn = b[1];
    const uint8_t asked = request ? request->bytes[1] : static_cast<uint8_t>(fn & ~kExceptionBit);
    const std::string crc = f.length < 4 ? "" : crcGood(f) ? ", CRC ok" : ", CRC bad";
    if ((fn & kExceptionBit) && f.length >= 3) {
        const std::string name = exceptionName(b[2]);
        return out + " exception " + hex2(b[2]) + (name.empty() ? "" : " " + name) + " (function " +
               hex2(fn & ~kExceptionBit) + ")" + crc;
    }
    if (fn != asked) return out + " function " + hex2(fn) + " (asked " + hex2(asked) + ")" + crc;
    const uint16_t reqStart = request ? wordAt(request->bytes + 2) : 0;
    int expected = 8;
    if (fn == kReadHolding)
        expected = request ? 5 + 2 * wordAt(request->bytes + 4) : (f.length >= 3 ? 5 + b[2] : 5);
    if (f.length < expected) {
        return out + " answer, " + std::to_string(f.length) + " of " + std::to_string(expected) +
               " bytes" + crc;
    }
    switch (fn) {
    case kReadHolding: {
        const int bytes = b[2];
        out += " answer " + std::to_string(bytes) + " bytes" + crc;
        if (request && bytes == expected - 5 && f.length >= expected)
            out += ": " + registerValues(reqStart, bytes / 2, b + 3);
        return out;
    }
    case kWriteSingle:
        return out + " wrote single" + crc + ": " + registerValues(wordAt(b + 2), 1, b + 4);
    default:
        return out + " wrote " + hex4(wordAt(b + 2)) + " n=" + std::to_string(wordAt(b + 4)) + crc;
    }
}

bool printable(const FrameRecord& f) {
    if (f.kept == 0) return false;
    for (int i = 0; i < f.kept; ++i) {
        const uint8_t c = f.bytes[i];
        if ((c < 0x20 || c > 0x7E) && c != '\r' && c != '\n' && c != '\t') return false;
    }
    return true;
}

std::string moreBytes(const FrameRecord& f) {
    return complete(f) ? "" : " ... (+" + std::to_string(f.length - f.kept) + " bytes)";
}

std::string decodeText(const FrameRecord& f) {
    if (!printable(f)) return std::to_string(f.length) + (f.length == 1 ? " byte" : " bytes");
    std::string out = "text \"";
    for (int i = 0; i < f.kept; ++i) {
        const char c = static_cast<char>(f.bytes[i]);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out + "\"" + moreBytes(f);
}

const FrameRecord* requestOf(const FrameRecord& f, const FrameRecord* before) {
    if (f.direction != FrameDirection::Received || !before || before->seq + 1 != f.seq)
        return nullptr;
    return isModbusRequest(*before) ? before : nullptr;
}

} // namespace

std::string frameResultText(const FrameRecord& f) {
    if (f.result < 0) return "";
    if (f.direction == FrameDirection::Sent) return "sent, no answer awaited";
    return transactionResultText(f.result) + ", " + std::to_string(f.elapsedMs) + " ms";
}

std::string frameTimeText(const FrameRecord& f) {
    return formatDateTime("hh:mm:ss.zzz", localDateTime(f.timeMs));
}

const char* frameDirectionText(const FrameRecord& f) {
    return f.direction == FrameDirection::Sent ? "TX" : "RX";
}

std::string frameHexText(const FrameRecord& f) {
    std::string out;
    out.reserve(static_cast<size_t>(f.kept) * 3 + 24);
    for (int i = 0; i < f.kept; ++i) {
        if (i) out += ' ';
        out += hex2(f.bytes[i]);
    }
    return out + moreBytes(f);
}

std::string frameMeaning(const FrameRecord& f, const FrameRecord* before) {
    if (const FrameRecord* request = requestOf(f, before)) return decodeAnswer(f, request);
    if (isModbusRequest(f)) return decodeRequest(f);
    if (looksLikeModbusAnswer(f)) return decodeAnswer(f, nullptr);
    if (f.length == 0) return "nothing";
    return decodeText(f);
}

std::string decodeFrame(const FrameRecord& f, const FrameRecord* before) {
    const std::string result = frameResultText(f);
    return frameMeaning(f, before) + (result.empty() ? "" : " -> " + result);
}

std::string frameLine(const FrameRecord& f, const FrameRecord* before) {
    std::string hex = frameHexText(f);
    return frameTimeText(f) + " " + frameDirectionText(f) + " " + (hex.empty() ? "-" : hex) +
           " | " + decodeFrame(f, before);
}

int frameSlave(const FrameRecord& f, const FrameRecord* before) {
    if (const FrameRecord* request = requestOf(f, before)) return request->bytes[0];
    if (isModbusRequest(f) || looksLikeModbusAnswer(f)) return f.bytes[0];
    return -1;
}

std::string transactionResultText(int result) {
    switch (result) {
    case 0:
        return "ok";
    case 1:
        return "no answer";
    case 2:
        return "short";
    case 3:
        return "bad answer";
    default:
        return "result " + std::to_string(result);
    }
}

std::string exceptionName(uint8_t code) {
    switch (code) {
    case 0x01:
        return "illegal function";
    case 0x02:
        return "illegal data address";
    case 0x03:
        return "illegal data value";
    case 0x04:
        // The devices answer this for a protected register while they are locked.
        return "slave device failure (also: protected register, device locked)";
    case 0x05:
        return "acknowledge";
    case 0x06:
        return "slave device busy";
    case 0x08:
        return "memory parity error";
    case 0x0A:
        return "gateway path unavailable";
    case 0x0B:
        return "gateway target failed to respond";
    default:
        return "";
    }
}

} // namespace getkelo
