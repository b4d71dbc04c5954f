#pragma once
#include "comm/crc16.h"
#include "comm/transport.h"

#include <cstdint>
#include <deque>
#include <map>
#include <utility>
#include <vector>

namespace getkelo::test {

// One Modbus device as a plain register map: answers functions 03 and 16 at its address at
// once, and records every register read and write, so a test can say exactly what a page
// put on the wire.
class RegisterPeer final : public Transport {
  public:
    explicit RegisterPeer(uint8_t address) : address_(address) {}

    std::map<uint16_t, uint16_t> regs;
    std::vector<std::pair<uint16_t, int>> reads;  // start register, count
    std::vector<std::pair<uint16_t, int>> writes; // start register, count

    void clearLog() {
        reads.clear();
        writes.clear();
    }
    void setText(uint16_t reg, const std::string& text, int registers) {
        for (int i = 0; i < registers; ++i) {
            uint8_t hi = i * 2 < int(text.size()) ? text[i * 2] : 0;
            uint8_t lo = i * 2 + 1 < int(text.size()) ? text[i * 2 + 1] : 0;
            regs[reg + i] = static_cast<uint16_t>(hi << 8 | lo);
        }
    }

    bool isTcp() const override { return true; }
    int send(const uint8_t* d, int n) override {
        if (n < 8 || d[0] != address_) return n;
        const uint16_t start = static_cast<uint16_t>(d[2] << 8 | d[3]);
        const int count = d[5];
        std::vector<uint8_t> a{d[0], d[1]};
        if (d[1] == 0x03) {
            reads.emplace_back(start, count);
            a.push_back(static_cast<uint8_t>(2 * count));
            for (int i = 0; i < count; ++i) {
                uint16_t v = regs[static_cast<uint16_t>(start + i)];
                a.push_back(static_cast<uint8_t>(v >> 8));
                a.push_back(static_cast<uint8_t>(v));
            }
        } else if (d[1] == 0x10) {
            writes.emplace_back(start, count);
            for (int i = 0; i < count; ++i)
                regs[static_cast<uint16_t>(start + i)] =
                    static_cast<uint16_t>(d[7 + 2 * i] << 8 | d[8 + 2 * i]);
            a.insert(a.end(), d + 2, d + 6);
        } else {
            return n;
        }
        uint16_t crc = Crc16(a.data(), static_cast<int>(a.size()));
        a.push_back(static_cast<uint8_t>(crc));
        a.push_back(static_cast<uint8_t>(crc >> 8));
        pending_.insert(pending_.end(), a.begin(), a.end());
        return n;
    }
    int receive(uint8_t* d, int n) override {
        int k = 0;
        while (k < n && !pending_.empty()) {
            d[k++] = pending_.front();
            pending_.pop_front();
        }
        return k;
    }
    void waitReadable(Clock& clock, int ms) override {
        if (pending_.empty()) clock.sleepMs(ms);
    }
    void purge() override { pending_.clear(); }

  private:
    uint8_t address_;
    std::deque<uint8_t> pending_;
};

} // namespace getkelo::test
