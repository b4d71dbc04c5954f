#include "sim/sim_series4_pages.h"

#include "sim/sim_device.h"
#include "sim/sim_registers.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace getkelo::sim {

namespace {

constexpr uint16_t kTickTablesFirst = 0x6400;
constexpr int kTickTableValues = 256;
constexpr int kTickTableCount = 3;

struct FloatLimit {
    uint16_t reg;
    double low, high;
};
constexpr FloatLimit kAnalogLimits[] = {
    {0x5505, 0, 20}, {0x5507, 0, 20}, {0x5509, 0, 10}, {0x550B, 0, 10},
    {0x550D, 0, 20}, {0x550F, 0, 20}, {0x5511, 0, 10}, {0x5513, 0, 10},
};

uint16_t wordAt(uint16_t start, const uint8_t* data, uint16_t reg) {
    const int i = reg - start;
    return static_cast<uint16_t>(data[2 * i] << 8 | data[2 * i + 1]);
}

bool covers(uint16_t start, int count, uint16_t reg, int n) {
    return reg >= start && reg + n <= start + count;
}

double floatAt(uint16_t start, const uint8_t* data, uint16_t reg) {
    const uint32_t bits = uint32_t(wordAt(start, data, reg)) << 16 | wordAt(start, data, reg + 1);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

bool outside(double v, double low, double high) {
    return !(v >= low && v <= high); // NaN is outside too
}

} // namespace

void series4PageRegisters(SimDevice& d, const DeviceConfig& c) {
    const auto isUsed = [&](int s) {
        return std::find(c.usedSlots.begin(), c.usedSlots.end(), s) != c.usedSlots.end();
    };
    for (int s = 1; s <= c.slotCount; ++s) {
        const uint16_t bank = slotBank(s);
        d.define(kTickTablesFirst, kTickTableCount * kTickTableValues, kRegProtected, bank);
        if (!isUsed(s)) continue;
        // Sensor ticks rising with flow, each table a little steeper than the one before.
        for (int t = 0; t < kTickTableCount; ++t)
            for (int j = 0; j < kTickTableValues; ++j) {
                const int v = j * (60 + 10 * t) + (j * j) / 8;
                d.put(makeDescriptor(static_cast<uint16_t>(kTickTablesFirst + t * 256 + j), 1,
                                     kTypeInt16),
                      std::to_string(std::min(v, 32767)), bank);
            }
    }
}

uint8_t series4PageValueCheck(const SimDevice& d, uint16_t start, int count, const uint8_t* data) {
    if (d.config().generation != Generation::Series4) return 0;
    auto word = [&](uint16_t reg, uint16_t high) {
        return covers(start, count, reg, 1) && wordAt(start, data, reg) > high;
    };
    if (word(0x5900, 126) || word(0x5901, 1) || word(0x5940, 1) || word(0x5F0F, 3))
        return kExIllegalValue;
    for (const FloatLimit& l : kAnalogLimits)
        if (covers(start, count, l.reg, 2) && outside(floatAt(start, data, l.reg), l.low, l.high))
            return kExIllegalValue;
    return 0;
}

} // namespace getkelo::sim
