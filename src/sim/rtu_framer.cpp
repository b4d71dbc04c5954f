#include "sim/rtu_framer.h"

#include "comm/crc16.h"

#include <algorithm>

namespace getkelo::sim {

namespace {
constexpr size_t kMaxBuffered = 1024; // more than any request: the front is garbage
constexpr int kMaxFiller = 8;         // filler bytes a write may carry before its CRC
} // namespace

int RtuFramer::requestLength(const uint8_t* d, int n) {
    if (n < 2) return 0;
    if (d[0] > 247) return -1;
    switch (d[1]) {
    case 0x03:
    case 0x06:
        return n >= 8 ? 8 : 0;
    case 0x10: {
        if (n < 7) return 0;
        int count = d[4] << 8 | d[5];
        if (count < 1 || count > 123 || d[6] != 2 * count) return -1;
        int total = 9 + d[6];
        return n >= total ? total : 0;
    }
    default:
        return -1;
    }
}

void RtuFramer::push(const uint8_t* data, int length) {
    buffer_.insert(buffer_.end(), data, data + length);
    if (buffer_.size() > kMaxBuffered)
        buffer_.erase(buffer_.begin(), buffer_.end() - static_cast<long>(kMaxBuffered));
}

bool RtuFramer::validAt(size_t off) const {
    int n = static_cast<int>(buffer_.size() - off);
    int len = requestLength(buffer_.data() + off, n);
    return len > 0 && crcMatches(buffer_.data() + off, len);
}

bool RtuFramer::next(std::vector<uint8_t>& frame) {
    while (!buffer_.empty()) {
        int n = static_cast<int>(buffer_.size());
        int len = requestLength(buffer_.data(), n);
        if (len > 0 && crcMatches(buffer_.data(), len)) return take(len, frame);
        bool wait = len == 0;
        if (len > 0 && buffer_[1] == 0x10) {
            // Some writes carry filler bytes between the data and the CRC; a slave that
            // ends frames by silence takes them, so the CRC may stand a few bytes later.
            int last = std::min(n, len + kMaxFiller);
            for (int padded = len + 1; padded <= last; ++padded)
                if (crcMatches(buffer_.data(), padded)) return take(padded, frame);
            wait = n < len + kMaxFiller;
        }
        if (wait) {
            // A complete good request behind the front means the front was the remains
            // of something else.
            size_t off = 1;
            while (off + 8 <= buffer_.size() && !validAt(off))
                ++off;
            if (off + 8 > buffer_.size()) return false;
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(off));
            continue;
        }
        buffer_.erase(buffer_.begin()); // bad CRC or impossible start: resynchronise
    }
    return false;
}

bool RtuFramer::take(int length, std::vector<uint8_t>& frame) {
    frame.assign(buffer_.begin(), buffer_.begin() + length);
    buffer_.erase(buffer_.begin(), buffer_.begin() + length);
    return true;
}

} // namespace getkelo::sim
