#pragma once
#include "comm/bus_observer.h"
#include "comm/frame_ring.h"

namespace getkelo {

// Records the bus traffic into a FrameRing: one record per whole frame, consecutive pieces
// of one direction joined into one record, and each transaction's result and time on the
// answer it ended with (or on a record of length 0 when nothing came).
class BusRecorder final : public BusObserver {
  public:
    explicit BusRecorder(size_t capacity = kMonitorFrames) : ring_(capacity) {}

    void frame(FrameDirection direction, FrameUnit unit, const uint8_t* data, int length,
               int64_t timeMs) override;
    void transactionDone(int result, int elapsedMs, int64_t timeMs) override;

    const FrameRing& ring() const { return ring_; }
    void clear();

  private:
    FrameRing ring_;
    // The whole frame sent whose transaction has not ended yet (0: none).
    uint64_t openRequest_ = 0;
};

} // namespace getkelo
