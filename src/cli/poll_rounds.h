#pragma once
#include <cstdint>

namespace getkelo::cli {

// When the next poll round starts: one interval after the previous round's start, or, when
// that time has passed (a slow bus, an outage), at once, the rounds missed meanwhile being
// skipped rather than fired back to back, as the data logger skips its missed lines. The
// result keeps to the grid of the interval; the caller waits while it lies ahead.
inline int64_t nextRoundStart(int64_t previousStart, int64_t intervalMs, int64_t nowMs) {
    const int64_t due = previousStart + intervalMs;
    if (nowMs <= due) return due;
    return intervalMs > 0 ? nowMs - (nowMs - due) % intervalMs : nowMs;
}

} // namespace getkelo::cli
