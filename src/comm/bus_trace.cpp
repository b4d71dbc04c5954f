#include "comm/bus_trace.h"

#include "comm/bus_decoder.h"

#include <algorithm>
#include <ostream>

namespace getkelo {

void BusTrace::frame(FrameDirection direction, FrameUnit unit, const uint8_t* data, int length,
                     int64_t timeMs) {
    recorder_.frame(direction, unit, data, length, timeMs);
    writeSettled(false);
}

void BusTrace::transactionDone(int result, int elapsedMs, int64_t timeMs) {
    recorder_.transactionDone(result, elapsedMs, timeMs);
    writeSettled(false);
}

void BusTrace::finish() {
    writeSettled(true);
}

void BusTrace::writeSettled(bool all) {
    const FrameRing& ring = recorder_.ring();
    const FrameRecord* last = ring.last();
    if (!last) return;
    // The newest frame may still grow (pieces) or get its transaction's result.
    const uint64_t end = all || last->result >= 0 ? ring.nextSeq() : last->seq;
    for (uint64_t s = std::max(written_ + 1, ring.firstSeq()); s < end; ++s) {
        const FrameRecord* f = ring.find(s);
        out_ << frameLine(*f, ring.find(s - 1)) << '\n';
        written_ = s;
    }
    out_.flush();
}

} // namespace getkelo
