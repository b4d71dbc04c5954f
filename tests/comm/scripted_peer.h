#pragma once
#include "base/clock.h"
#include "comm/crc16.h"
#include "comm/transport.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace getkelo::test {

using Bytes = std::vector<uint8_t>;

// A device on the virtual clock: answers each request through `respond`, which queues
// chunks that become readable at a given virtual time. Counts what the channel does to it.
class ScriptedPeer final : public Transport {
  public:
    struct Chunk {
        int64_t atMs;
        Bytes bytes;
    };

    explicit ScriptedPeer(Clock& clock, bool tcp = false) : clock_(clock), tcp_(tcp) {}

    std::function<void(const Bytes& request, ScriptedPeer& peer)> respond;
    std::vector<Bytes> sent;
    int receives = 0;
    int emptyReceives = 0;
    int purges = 0;

    // Bytes readable `afterMs` from now.
    void deliver(const Bytes& bytes, int afterMs = 0) {
        chunks_.push_back({clock_.nowMs() + afterMs, bytes});
    }
    size_t pending() const {
        size_t n = 0;
        for (auto& c : chunks_)
            n += c.bytes.size();
        return n;
    }

    bool isTcp() const override { return tcp_; }
    int send(const uint8_t* data, int length) override {
        sent.emplace_back(data, data + length);
        if (respond) respond(sent.back(), *this);
        return length;
    }
    int receive(uint8_t* data, int length) override {
        ++receives;
        int n = 0;
        while (n < length && !chunks_.empty() && chunks_.front().atMs <= clock_.nowMs()) {
            Bytes& b = chunks_.front().bytes;
            while (n < length && !b.empty()) {
                data[n++] = b.front();
                b.erase(b.begin());
            }
            if (b.empty()) chunks_.pop_front();
        }
        if (n == 0) ++emptyReceives;
        return n;
    }
    void waitReadable(Clock& clock, int ms) override {
        if (!chunks_.empty()) {
            int64_t due = chunks_.front().atMs - clock.nowMs();
            if (due <= 0) return;
            if (due < ms) {
                clock.sleepMs(static_cast<int>(due));
                return;
            }
        }
        clock.sleepMs(ms);
    }
    // Only what has arrived can be discarded; later chunks are still on their way.
    void purge() override {
        ++purges;
        while (!chunks_.empty() && chunks_.front().atMs <= clock_.nowMs())
            chunks_.pop_front();
    }

  private:
    Clock& clock_;
    bool tcp_;
    std::deque<Chunk> chunks_;
};

inline Bytes withCrc(Bytes frame) {
    uint16_t crc = Crc16(frame.data(), static_cast<int>(frame.size()));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

// The function 03 answer of `slave` carrying `data`.
inline Bytes readAnswer(uint8_t slave, const Bytes& data) {
    Bytes f{slave, 0x03, static_cast<uint8_t>(data.size())};
    f.insert(f.end(), data.begin(), data.end());
    return withCrc(f);
}

inline Bytes exceptionAnswer(uint8_t slave, uint8_t function, uint8_t code = 0x02) {
    return withCrc({slave, static_cast<uint8_t>(function | 0x80), code});
}

// The fence read that goes before the next request to a device after trouble: function 03
// from the identity block.
inline bool isFence(const Bytes& request) {
    return request.size() >= 6 && request[1] == 0x03 && request[2] == 0x00 && request[3] == 0x1E;
}
inline Bytes fenceAnswer(const Bytes& request) {
    return readAnswer(request[0], Bytes(2u * request[5], 0));
}

// The echo a device gives to a function 16 request.
inline Bytes writeEcho(const Bytes& request) {
    return withCrc({request[0], request[1], request[2], request[3], request[4], request[5]});
}

} // namespace getkelo::test
