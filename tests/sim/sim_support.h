#pragma once
#include "base/clock.h"
#include "comm/register_descriptor.h"
#include "sim/sim_bus.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace getkelo::sim::test {

using Bytes = std::vector<uint8_t>;

Bytes withCrc(Bytes pdu);
Bytes readRequest(uint8_t address, uint16_t start, uint8_t count);
Bytes writeSingle(uint8_t address, uint16_t reg, uint16_t value);
// Function 16 of a value encoded by type code, as the program sends it.
Bytes writeValue(uint8_t address, RegisterDescriptor d, const std::string& text);

// A demo bus on a virtual clock, with shortcuts that go through the wire format.
struct DemoBus {
    VirtualClock clock;
    SimBus bus{clock};
    DemoBus();

    std::optional<BusAnswer> send(const Bytes& frame);
    // The value as text, or "silent" / "ex NN" / "bad crc".
    std::string read(uint8_t address, RegisterDescriptor d);
    // "ok", "silent", "ex NN".
    std::string write(uint8_t address, RegisterDescriptor d, const std::string& text);
    void unlock(uint8_t address);
    void advance(int64_t ms) { clock.advanceMs(ms); }
};

} // namespace getkelo::sim::test
