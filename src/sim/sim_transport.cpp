#include "sim/sim_transport.h"

#include "base/clock.h"
#include "sim/sim_bus.h"

#include <algorithm>

namespace getkelo::sim {

SimTransport::SimTransport(SimBus& bus, Clock& clock, bool isTcp)
    : bus_(bus), clock_(clock), isTcp_(isTcp) {}

int SimTransport::send(const uint8_t* data, int length) {
    if (length <= 0) return 0;
    std::vector<uint8_t> rtu, passed;
    std::vector<BusAnswer> serviceAnswers;
    boot_.push(bus_, data, length, passed, serviceAnswers);
    service_.push(bus_, passed.data(), static_cast<int>(passed.size()), rtu, serviceAnswers);
    for (auto& a : serviceAnswers)
        inFlight_.push_back({clock_.nowMs() + a.delayMs, std::move(a.bytes)});
    framer_.push(rtu.data(), static_cast<int>(rtu.size()));
    std::vector<uint8_t> frame;
    while (framer_.next(frame)) {
        requests_.push_back(frame);
        auto a = bus_.handleFrame(frame.data(), static_cast<int>(frame.size()));
        if (a && !a->bytes.empty())
            inFlight_.push_back({clock_.nowMs() + a->delayMs, std::move(a->bytes)});
    }
    return length;
}

void SimTransport::arrive() {
    int64_t now = clock_.nowMs();
    // Answers leave in order; a late one holds back those behind it.
    while (!inFlight_.empty() && inFlight_.front().dueMs <= now) {
        auto& b = inFlight_.front().bytes;
        arrived_.insert(arrived_.end(), b.begin(), b.end());
        inFlight_.pop_front();
    }
}

int SimTransport::receive(uint8_t* data, int length) {
    arrive();
    int n = std::min<int>(length, static_cast<int>(arrived_.size()));
    for (int i = 0; i < n; ++i) {
        data[i] = arrived_.front();
        arrived_.pop_front();
    }
    return n;
}

void SimTransport::waitReadable(Clock& clock, int ms) {
    arrive();
    if (!arrived_.empty()) return;
    int64_t now = clock.nowMs();
    if (!inFlight_.empty() && inFlight_.front().dueMs - now <= ms) {
        clock.sleepMs(static_cast<int>(inFlight_.front().dueMs - now));
        return;
    }
    clock.sleepMs(ms);
}

void SimTransport::purge() {
    arrive();
    arrived_.clear();
}

} // namespace getkelo::sim
