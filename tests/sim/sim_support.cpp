#include "sim_support.h"

#include "comm/crc16.h"
#include "comm/register_catalogue.h"
#include "comm/value_codec.h"
#include "sim/device_profiles.h"

#include <cstdio>

namespace getkelo::sim::test {

Bytes withCrc(Bytes pdu) {
    size_t n = pdu.size();
    pdu.resize(n + 2);
    appendCrc(pdu.data(), static_cast<int>(n));
    return pdu;
}

Bytes readRequest(uint8_t a, uint16_t start, uint8_t count) {
    return withCrc({a, 0x03, uint8_t(start >> 8), uint8_t(start), 0, count});
}

Bytes writeSingle(uint8_t a, uint16_t reg, uint16_t v) {
    return withCrc({a, 0x06, uint8_t(reg >> 8), uint8_t(reg), uint8_t(v >> 8), uint8_t(v)});
}

Bytes writeValue(uint8_t a, RegisterDescriptor d, const std::string& text) {
    uint16_t r = descRegister(d);
    uint8_t n = descCount(d);
    Bytes f{a, 0x10, uint8_t(r >> 8), uint8_t(r), 0, n, uint8_t(2 * n)};
    std::vector<uint8_t> data(2 * n + 50, 0);
    TextToValue(data.data(), descType(d), text);
    f.insert(f.end(), data.begin(), data.begin() + 2 * n);
    return withCrc(f);
}

DemoBus::DemoBus() {
    for (const auto& c : demoBus())
        bus.addDevice(c);
}

std::optional<BusAnswer> DemoBus::send(const Bytes& frame) {
    return bus.handleFrame(frame.data(), static_cast<int>(frame.size()));
}

std::string DemoBus::read(uint8_t a, RegisterDescriptor d) {
    auto ans = send(readRequest(a, descRegister(d), descCount(d)));
    if (!ans) return "silent";
    const Bytes& b = ans->bytes;
    if (!crcMatches(b.data(), static_cast<int>(b.size()))) return "bad crc";
    if (b[1] & 0x80) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "ex %02X", b[2]);
        return buf;
    }
    return ValueToText(b.data() + 3, descType(d));
}

std::string DemoBus::write(uint8_t a, RegisterDescriptor d, const std::string& text) {
    auto ans = send(writeValue(a, d, text));
    if (!ans) return "silent";
    if (ans->bytes[1] & 0x80) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "ex %02X", ans->bytes[2]);
        return buf;
    }
    return "ok";
}

void DemoBus::unlock(uint8_t a) {
    write(a, reg::kAccessCode, reg::kAccessCodeText);
}

} // namespace getkelo::sim::test
