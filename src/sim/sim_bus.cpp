#include "sim/sim_bus.h"

#include "base/clock.h"
#include "comm/crc16.h"
#include "sim/device_profiles.h"

namespace getkelo::sim {

SimBus::SimBus(Clock& clock) : clock_(clock) {}

SimDevice& SimBus::addDevice(const DeviceConfig& config) {
    devices_.push_back(buildDevice(config, clock_.nowMs()));
    return *devices_.back();
}

SimDevice* SimBus::device(uint8_t address) const {
    for (auto& d : devices_)
        if (d->address() == address) return d.get();
    return nullptr;
}

bool SimBus::setFault(uint8_t address, Fault fault, int lateMs) {
    SimDevice* d = device(address);
    if (!d) return false;
    d->setFault(fault, lateMs);
    return true;
}

BusAnswer finishAnswer(std::vector<uint8_t> pdu, const SimDevice& d) {
    size_t n = pdu.size();
    pdu.resize(n + 2);
    appendCrc(pdu.data(), static_cast<int>(n));
    BusAnswer a;
    a.delayMs = d.config().answerDelayMs;
    switch (d.fault()) {
    case Fault::BadCrc:
        pdu[n + 1] ^= 0xFF;
        break;
    case Fault::Short:
        pdu.resize(pdu.size() > 3 ? pdu.size() - 3 : 1);
        break;
    case Fault::Late:
        a.delayMs += d.lateMs();
        break;
    default:
        break;
    }
    a.bytes = std::move(pdu);
    return a;
}

std::optional<BusAnswer> SimBus::answerOf(SimDevice& d, const uint8_t* f, int length, int64_t now,
                                          bool broadcast) {
    uint8_t addr = f[0], fn = f[1];
    uint16_t start = static_cast<uint16_t>(f[2] << 8 | f[3]);
    std::vector<uint8_t> pdu{addr, fn};
    uint8_t ex = 0;
    switch (fn) {
    case 0x03: {
        if (broadcast) return std::nullopt; // a read cannot be broadcast
        int count = f[4] << 8 | f[5];
        std::vector<uint8_t> data(2 * static_cast<size_t>(count > 0 ? count : 0));
        ex = d.readRegisters(start, count, data.data(), now);
        if (!ex) {
            pdu.push_back(static_cast<uint8_t>(data.size()));
            pdu.insert(pdu.end(), data.begin(), data.end());
        }
        break;
    }
    case 0x06:
        ex = d.writeRegisters(start, 1, f + 4, now);
        // The echo of an address change already comes from the new address.
        if (!ex) pdu.assign(f, f + 6), pdu[0] = d.address();
        break;
    case 0x10:
        ex = d.writeRegisters(start, f[4] << 8 | f[5], f + 7, now);
        if (!ex) pdu.assign(f, f + 6);
        break;
    default:
        ex = 0x01;
        break;
    }
    if (broadcast) return std::nullopt;
    if (ex) pdu = {addr, static_cast<uint8_t>(fn | 0x80), ex};
    (void)length;
    return finishAnswer(std::move(pdu), d);
}

std::optional<BusAnswer> SimBus::handleFrame(const uint8_t* frame, int length) {
    if (unplugged_ || length < 4 || !crcMatches(frame, length)) return std::nullopt;
    int64_t now = clock_.nowMs();
    uint8_t addr = frame[0];
    bool broadcast = addr == 0;
    std::optional<BusAnswer> answer;
    int answering = 0;
    for (auto& d : devices_) {
        if (d->fault() == Fault::Silent || d->restarting(now)) continue;
        if (!broadcast && d->address() != addr) continue;
        auto a = answerOf(*d, frame, length, now, broadcast);
        if (a && answering++ == 0) answer = std::move(a);
    }
    // Two devices at one address talk over each other: what arrives is garbled.
    if (answer && answering > 1 && !answer->bytes.empty()) answer->bytes.back() ^= 0x5A;
    return answer;
}

} // namespace getkelo::sim
