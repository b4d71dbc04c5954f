#pragma once
#include "comm/frame_ring.h"

#include <cstdint>
#include <string>

namespace getkelo {

// How the traffic monitor, its saved files and `getkelo-cli --trace` show a recorded frame.
// `before` is the record just before the frame (for an answer: its request), or nullptr.

// "hh:mm:ss.zzz" of the local time.
std::string frameTimeText(const FrameRecord& f);
// "TX" or "RX".
const char* frameDirectionText(const FrameRecord& f);
// The bytes in hex; a frame longer than what was kept ends in "... (+N bytes)".
std::string frameHexText(const FrameRecord& f);
// What the frame means: Modbus requests and answers field by field with the values by the
// register catalogue's names, exceptions by name, CRC good or bad; service-protocol and
// bootloader frames as text.
std::string frameMeaning(const FrameRecord& f, const FrameRecord* before);
// The result and time of the transaction the frame ended ("bad answer, 25 ms"), else "".
std::string frameResultText(const FrameRecord& f);
// The meaning followed by " -> " and the result, when there is one.
std::string decodeFrame(const FrameRecord& f, const FrameRecord* before);
// One line: time, direction, hex bytes and meaning.
std::string frameLine(const FrameRecord& f, const FrameRecord* before);

// The slave address a Modbus frame is addressed to or answers for; -1 for other frames.
int frameSlave(const FrameRecord& f, const FrameRecord* before);
// True when the frame ended a transaction that failed.
inline bool frameFailed(const FrameRecord& f) {
    return f.result > 0;
}

// "ok", "no answer", "short", "bad answer" (others: "result N").
std::string transactionResultText(int result);
// "illegal data address" and the other Modbus exception codes by name ("" for codes without).
std::string exceptionName(uint8_t code);

} // namespace getkelo
