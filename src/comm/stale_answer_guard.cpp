#include "comm/stale_answer_guard.h"

#include <algorithm>

namespace getkelo {

void StaleAnswerGuard::suspect(uint8_t slave) {
    devices_[slave].fenced = true;
    devices_[slave].clean = 0;
}

void StaleAnswerGuard::cleanExchange(uint8_t slave) {
    Device& d = devices_[slave];
    if (d.fenced && ++d.clean >= kCleanToTrust) d.fenced = false;
}

void StaleAnswerGuard::readSent(uint8_t slave, int byteCount) {
    Device& d = devices_[slave];
    d.recent[d.next] = byteCount;
    d.next = static_cast<uint8_t>((d.next + 1) % d.recent.size());
}

uint8_t StaleAnswerGuard::fenceCount(uint8_t slave, int byteCountInHand) const {
    // The whole identity block first (the scan's own read), then parts of it: serial
    // number, with the versions, with the command register. Three recent reads and the one
    // in hand rule out at most four of the five.
    static constexpr uint8_t kCounts[] = {9, 2, 4, 3, 5};
    const Device& d = devices_[slave];
    for (uint8_t count : kCounts) {
        const int bytes = 2 * count;
        if (bytes != byteCountInHand &&
            std::find(d.recent.begin(), d.recent.end(), bytes) == d.recent.end())
            return count;
    }
    return kCounts[0];
}

} // namespace getkelo
