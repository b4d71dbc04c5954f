#pragma once
#include "comm/bus_recorder.h"

#include <iosfwd>

namespace getkelo {

// Writes the decoded frames as lines to a stream (getkelo-cli --trace): each line as soon as
// its frame is settled, that is, once its transaction ended or the next frame began.
class BusTrace final : public BusObserver {
  public:
    explicit BusTrace(std::ostream& out) : out_(out) {}
    ~BusTrace() override { finish(); }

    void frame(FrameDirection direction, FrameUnit unit, const uint8_t* data, int length,
               int64_t timeMs) override;
    void transactionDone(int result, int elapsedMs, int64_t timeMs) override;
    // Writes what is still held back (the end of the run).
    void finish();

  private:
    void writeSettled(bool all);

    std::ostream& out_;
    BusRecorder recorder_{16};
    uint64_t written_ = 0; // sequence number of the last frame written
};

} // namespace getkelo
