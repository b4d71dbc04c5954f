#include "sim/rtu_framer.h"

#include "comm/crc16.h"

#include <algorithm>

namespace getkelo::sim {

namespace {
constexpr size_t kMaxBuffered = 1024; // more than any request: the front is garbage
constexpr int kMaxFiller = 8;         // filler bytes a write may carry before its CRC

// A request whose length follows from a byte count at countAt: the count plus `fixed`.
int byteCounted(const uint8_t* d, int n, int countAt, int fixed) {
    if (n <= countAt) return 0;
    int total = fixed + d[countAt];
    return n >= total ? total : 0;
}
} // namespace

int RtuFramer::requestLength(const uint8_t* d, int n) {
    if (n < 2) return 0;
    if (d[0] > 247) return -1;
    // Lengths of the public function codes, so a request the devices do not support is
    // still framed and can be refused (exception 01) instead of being passed over.
    int fixed = 0;
    switch (d[1]) {
    case 0x07: // no data: slave, function, CRC
    case 0x0B:
    case 0x0C:
    case 0x11:
        fixed = 4;
        break;
    case 0x01: // register or coil and a count or value
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
    case 0x08:
        fixed = 8;
        break;
    case 0x18:
        fixed = 6;
        break;
    case 0x2B:
        fixed = 7;
        break;
    case 0x16:
        fixed = 10;
        break;
    case 0x0F: // byte count after register and count; a malformed count is framed too
    case 0x10:
        return byteCounted(d, n, 6, 9);
    case 0x14:
    case 0x15:
        return byteCounted(d, n, 2, 5);
    case 0x17:
        return byteCounted(d, n, 10, 13);
    default:
        return -1;
    }
    return n >= fixed ? fixed : 0;
}

void RtuFramer::push(const uint8_t* data, int length) {
    buffer_.insert(buffer_.end(), data, data + length);
    if (buffer_.size() > kMaxBuffered) discard(buffer_.size() - kMaxBuffered);
}

void RtuFramer::discard(size_t count) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(count));
    garbage_ += count;
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
            discard(off);
            continue;
        }
        discard(1); // bad CRC or impossible start: resynchronise
    }
    return false;
}

bool RtuFramer::take(int length, std::vector<uint8_t>& frame) {
    frame.assign(buffer_.begin(), buffer_.begin() + length);
    buffer_.erase(buffer_.begin(), buffer_.begin() + length);
    garbage_ = 0;
    return true;
}

} // namespace getkelo::sim
