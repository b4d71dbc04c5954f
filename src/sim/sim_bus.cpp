#include "sim/sim_bus.h"

#include "base/clock.h"
#include "comm/crc16.h"
#include "comm/register_descriptor.h"
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
    // The request without its CRC; every field is read only where the length holds it.
    const int pdu = length - 2;
    if (d.config().referenceOf)
        if (SimDevice* dut = device(d.config().referenceOf)) d.setMeterFlow(dut->trueFlow(now));
    const uint8_t addr = f[0], fn = f[1];
    auto word = [f](int at) { return static_cast<uint16_t>(f[at] << 8 | f[at + 1]); };
    std::vector<uint8_t> answer{addr, fn};
    uint8_t ex = 0;
    switch (fn) {
    case 0x03: {
        if (broadcast) return std::nullopt; // a read cannot be broadcast
        const int count = pdu == 6 ? word(4) : 0;
        if (count < 1 || count > kMaxReadRegisters) {
            ex = kExIllegalValue;
            break;
        }
        std::vector<uint8_t> data(2 * static_cast<size_t>(count));
        ex = d.readRegisters(word(2), count, data.data(), now);
        if (!ex) {
            answer.push_back(static_cast<uint8_t>(data.size()));
            answer.insert(answer.end(), data.begin(), data.end());
        }
        break;
    }
    case 0x06:
        ex = pdu == 6 ? d.writeRegisters(word(2), 1, f + 4, now) : kExIllegalValue;
        break;
    case 0x10: {
        // Register, count, byte count 2n, the data; some writes add filler before the CRC.
        const int count = pdu >= 7 ? word(4) : 0;
        const bool wellFormed =
            count >= 1 && count <= kMaxWriteRegisters && f[6] == 2 * count && pdu >= 7 + 2 * count;
        ex = wellFormed ? d.writeRegisters(word(2), count, f + 7, now) : kExIllegalValue;
        break;
    }
    default:
        ex = kExIllegalFunction;
        break;
    }
    if (broadcast) return std::nullopt;
    if (ex) {
        answer = {addr, static_cast<uint8_t>(fn | 0x80), ex};
    } else if (fn != 0x03) {
        // The echo of a write; one that moved the device already comes from its new address,
        // whichever function wrote it.
        answer.assign(f, f + 6);
        answer[0] = d.address();
    }
    return finishAnswer(std::move(answer), d);
}

std::optional<BusAnswer> SimBus::handleFrame(const uint8_t* frame, int length) {
    // Slave, function and CRC at least; a frame that ends before its fields is refused below.
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
