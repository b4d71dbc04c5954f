#pragma once
#include "comm/bus_observer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace getkelo {

// Bytes kept per frame: every Modbus RTU frame (at most 256 bytes) whole; longer text or
// image frames keep their start and their full length.
inline constexpr int kFrameBytesKept = 260;
// Frames the traffic monitor keeps.
inline constexpr size_t kMonitorFrames = 10000;

// One frame as the monitor recorded it. A transaction that got no answer is recorded as a
// received frame of length 0 carrying the result.
struct FrameRecord {
    uint64_t seq = 0; // 1, 2, 3 ... over the life of the ring
    int64_t timeMs = 0;
    int length = 0;     // bytes on the wire; more than `kept` for long frames
    int elapsedMs = 0;  // of the transaction, when result >= 0
    int16_t kept = 0;   // bytes stored in `bytes`
    int8_t result = -1; // transaction result, -1 when the frame ends none
    FrameDirection direction = FrameDirection::Sent;
    FrameUnit unit = FrameUnit::Whole;
    uint8_t bytes[kFrameBytesKept];
};

// The last `capacity` frames in fixed storage allocated once: recording a frame copies its
// bytes into the slot of the oldest and never allocates.
class FrameRing {
  public:
    explicit FrameRing(size_t capacity = kMonitorFrames);

    // A fresh record for the next frame (sequence number set, fields reset, bytes not).
    FrameRecord& append();
    // The newest record, or nullptr when the ring is empty.
    FrameRecord* last();
    const FrameRecord* last() const;
    // The record with that sequence number while it is still held, else nullptr.
    const FrameRecord* find(uint64_t seq) const;
    FrameRecord* find(uint64_t seq);

    size_t size() const { return size_; }
    size_t capacity() const { return slots_.size(); }
    // Sequence number of the oldest record held (== nextSeq() when empty).
    uint64_t firstSeq() const { return next_ - size_; }
    uint64_t nextSeq() const { return next_; }
    // Forgets every record; sequence numbers go on.
    void clear() { size_ = 0; }

  private:
    std::vector<FrameRecord> slots_;
    uint64_t next_ = 1;
    size_t size_ = 0;
};

} // namespace getkelo
