#pragma once
#include <cstdint>

namespace getkelo {

enum class FrameDirection : uint8_t { Sent, Received };

// Whole: one complete request, answer or line (an exchange, a counted read, a read up to a
// terminator). Piece: one write or read of a byte stream, which may continue the piece
// before it (the image bytes of the service protocol, the bootloader's polls).
enum class FrameUnit : uint8_t { Whole, Piece };

// Watches the bus traffic of one TComm: every frame sent and received, and the end of each
// Modbus transaction. Called on the bus thread inside the exchange, so it must be quick and
// must not talk to the bus. With no observer attached the device layer costs nothing extra.
class BusObserver {
  public:
    virtual ~BusObserver() = default;
    // `data` is only valid during the call.
    virtual void frame(FrameDirection direction, FrameUnit unit, const uint8_t* data, int length,
                       int64_t timeMs) = 0;
    // The transaction the last whole frame sent belongs to ended with `result` (TTesra's
    // result codes) after elapsedMs.
    virtual void transactionDone(int result, int elapsedMs, int64_t timeMs) = 0;
};

} // namespace getkelo
