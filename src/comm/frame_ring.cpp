#include "comm/frame_ring.h"

namespace getkelo {

FrameRing::FrameRing(size_t capacity) : slots_(capacity > 0 ? capacity : 1) {}

FrameRecord& FrameRing::append() {
    FrameRecord& r = slots_[next_ % slots_.size()];
    r.seq = next_++;
    r.timeMs = 0;
    r.length = 0;
    r.elapsedMs = 0;
    r.kept = 0;
    r.result = -1;
    r.direction = FrameDirection::Sent;
    r.unit = FrameUnit::Whole;
    if (size_ < slots_.size()) ++size_;
    return r;
}

const FrameRecord* FrameRing::find(uint64_t seq) const {
    if (seq < firstSeq() || seq >= next_) return nullptr;
    return &slots_[seq % slots_.size()];
}

FrameRecord* FrameRing::find(uint64_t seq) {
    return const_cast<FrameRecord*>(static_cast<const FrameRing*>(this)->find(seq));
}

const FrameRecord* FrameRing::last() const {
    return size_ == 0 ? nullptr : find(next_ - 1);
}

FrameRecord* FrameRing::last() {
    return size_ == 0 ? nullptr : find(next_ - 1);
}

} // namespace getkelo
