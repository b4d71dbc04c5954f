#include "comm/bus_recorder.h"

#include <algorithm>
#include <cstring>

namespace getkelo {

namespace {

void keep(FrameRecord& r, const uint8_t* data, int length) {
    const int room = kFrameBytesKept - r.kept;
    const int n = std::min(room, length);
    if (n > 0) {
        std::memcpy(r.bytes + r.kept, data, static_cast<size_t>(n));
        r.kept = static_cast<int16_t>(r.kept + n);
    }
    r.length += length;
}

} // namespace

void BusRecorder::frame(FrameDirection direction, FrameUnit unit, const uint8_t* data, int length,
                        int64_t timeMs) {
    if (length <= 0) return;
    FrameRecord* last = ring_.last();
    if (unit == FrameUnit::Piece && last && last->unit == FrameUnit::Piece &&
        last->direction == direction && last->result < 0) {
        keep(*last, data, length);
        return;
    }
    FrameRecord& r = ring_.append();
    r.timeMs = timeMs;
    r.direction = direction;
    r.unit = unit;
    keep(r, data, length);
    if (direction == FrameDirection::Sent && unit == FrameUnit::Whole) openRequest_ = r.seq;
}

void BusRecorder::transactionDone(int result, int elapsedMs, int64_t timeMs) {
    FrameRecord* last = ring_.last();
    FrameRecord* target = nullptr;
    if (openRequest_ != 0 && last && last->seq > openRequest_ &&
        last->direction == FrameDirection::Received && last->result < 0) {
        target = last; // the answer
    } else if (openRequest_ != 0 && result == 0) {
        target = ring_.find(openRequest_); // nothing was awaited (a broadcast)
    }
    if (!target) {
        // Nothing came (or nothing could be sent): the result stands on a frame of its own.
        target = &ring_.append();
        target->timeMs = timeMs;
        target->direction = FrameDirection::Received;
    }
    target->result = static_cast<int8_t>(std::clamp(result, 0, 127));
    target->elapsedMs = elapsedMs;
    openRequest_ = 0;
}

void BusRecorder::clear() {
    ring_.clear();
    openRequest_ = 0;
}

} // namespace getkelo
