#include "sim/setup_registers.h"

#include "sim/sim_registers.h"

#include <algorithm>
#include <cstdio>

namespace getkelo::sim {
namespace {

constexpr uint8_t P = kRegProtected;

std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7g", v);
    return buf;
}

bool used(const DeviceConfig& c, int slot) {
    return std::find(c.usedSlots.begin(), c.usedSlots.end(), slot) != c.usedSlots.end();
}

// The configuration blocks of the second and third generation.
void olderConfiguration(SimDevice& d, const DeviceConfig& c) {
    d.define(0x1012, 2, P);
    d.define(0x4088, 4, P);
    d.define(0x410E, 0x12, P);
    // The table flow (0x4080), flow offset and sensor gain (0x4110, 0x4111) keep the values the
    // flow model reads through.
    d.put(floatAt(0x1008), "20");      // reference temperature
    d.put(floatAt(0x1012), "1013.25"); // reference pressure
    d.put(floatAt(0x4046), "1.5");     // totalizer factor
    d.put(uint16At(0x4086), "1");      // analog set point from the voltage input
    d.put(floatAt(0x4088), "0.75");    // filter limit
    d.put(uint16At(0x408A), "8");      // filter averaging
    d.put(floatAt(0x410E), "1.0021");
    d.put(floatAt(0x4112), "0.0013");
    d.put(floatAt(0x4114), "-0.027");
    d.put(floatAt(0x4116), "0.00041");
    d.put(floatAt(0x4118), "0.0019");
    d.put(floatAt(0x411C), "0.97");
    d.put(floatAt(0x411E), "0.0017");
    d.put(floatAt(0x4120), "21.5");
    d.put(uint16At(0x4124), "3");
    d.put(uint16At(0x4125), "120");
    d.put(uint16At(0x4126), "10");
    d.put(uint16At(0x4127), "2");
    d.put(int16At(0x4130), "-35");
    d.put(floatAt(0x4131), "1.0042");
    d.put(uint16At(0x4133), "41");
    d.put(floatAt(0x4134), "0.9981");
    d.put(uint16At(0x4136), "12");
    d.put(floatAt(0x4137), "1.0007");
    // Each used slot's parameters differ from the others' (slot 0 keeps its own).
    for (int k = 1; k < c.slotCount; ++k) {
        if (!used(c, k)) continue;
        const uint16_t base = static_cast<uint16_t>(reg::kLutSlotBase + k * reg::kLutSlotSize);
        auto at = [base](uint16_t slot0) { return static_cast<uint16_t>(base + slot0 - 0x0836); };
        d.put(floatAt(at(0x0938)), num(0.0012 + 0.0001 * k));
        d.put(floatAt(at(0x093E)), num(0.0021 + 0.0001 * k));
        d.put(floatAt(at(0x0947)), num(22.5 + k));
        d.put(floatAt(at(0x0958)), num(1.01325 + 0.5 * k));
    }
    // The PID sets differ in every value, not only in P.
    for (int k = 0; k < reg::kPidSets; ++k)
        d.put(reg::kPidNOld, std::to_string(50 + k), oldPidBank(k));
}

// Series 4: every register of the "SETUP" table that no page gives a value.
void series4Setup(SimDevice& d, const DeviceConfig& c) {
    d.put(uint16At(0x0027), "1");
    d.put(floatAt(0x0028), "12.5");
    d.put(uint16At(0x002A), "2048");
    d.put(uint16At(0x4043), "1");
    d.put(uint32At(0x4122), "100000");
    d.put(uint16At(0x4124), "3");
    d.put(uint16At(0x4125), "250");
    d.put(uint16At(0x412A), "410");
    d.put(uint16At(0x412B), "3900");
    d.put(int16At(0x4130), "-35");
    d.put(floatAt(0x4131), "1.0042");
    d.put(uint16At(0x4133), "41");
    d.put(floatAt(0x4134), "0.9981");
    d.put(uint16At(0x4136), "12");
    d.put(floatAt(0x4137), "1.0007");
    d.put(uint16At(0x5101), "1");
    d.put(uint16At(0x5200), "19200");
    for (int n = 0; n <= 20; ++n)
        d.put(uint16At(static_cast<uint16_t>(0x5400 + n)), std::to_string(100 + 7 * n));
    d.put(uint32At(0x5415), std::to_string(c.serial + 500000));
    d.put(uint16At(0x5420), "16");
    d.put(uint16At(0x5421), "107");
    d.put(uint16At(0x5422), "163");
    d.put(int16At(0x5501), "-18");
    d.put(floatAt(0x5502), "1.0031");
    d.put(floatAt(0x5505), "4");
    d.put(floatAt(0x5509), "0");
    d.put(floatAt(0x550D), "4");
    d.put(floatAt(0x5511), "0.5");
    d.put(uint16At(0x5901), "1");
    d.put(uint16At(0x5C09), "12");
    d.put(uint16At(0x5C0A), "4");
    d.put(uint16At(0x5C0B), "6");
    d.put(uint16At(0x5C0C), "5");
    d.put(uint16At(0x5C0F), "3");
    d.put(uint16At(0x5C10), "2");
    for (int i = 0; i < 8; ++i)
        d.put(floatAt(static_cast<uint16_t>(0x5D00 + 2 * i)), num(0.5 + 0.25 * i));
    d.put(floatAt(0x5E00), "1.25");
    d.put(floatAt(0x5E02), "0.8");
    d.put(floatAt(0x5E04), "0.05");
    d.put(uint16At(0x5E06), "7");

    for (int s = 1; s <= c.slotCount; ++s) {
        if (!used(c, s)) continue;
        const uint16_t b = slotBank(s);
        d.put(uint32At(0x6010), std::to_string(c.serial + 1000 * s), b);
        d.put(floatAt(0x604C), num(20 + s), b);
        d.put(floatAt(0x6100), num(c.range * 1000 + s), b);
        d.put(floatAt(0x6102), num(1000 + s), b);
        d.put(floatAt(0x6104), num(1 + 0.1 * s), b);
        d.put(floatAt(0x6106), num(-0.5 * s), b);
        d.put(floatAt(0x6108), num(1 + 0.001 * s), b);
        d.put(floatAt(0x610A), num(0.01 * s), b);
        d.put(floatAt(0x610C), num(0.002 * s), b);
        d.put(uint16At(0x6120), std::to_string(30 + s), b);
        d.put(uint16At(0x6121), std::to_string(70 + s), b);
        d.put(floatAt(0x6123), num(0.5 * s), b);
        d.put(floatAt(0x6140), num(20 + 0.5 * s), b);
        d.put(floatAt(0x6142), num(25 + 0.5 * s), b);
        d.put(floatAt(0x6144), num(2 + s), b);
        d.put(floatAt(0x6146), num(0.1 * s), b);
        d.put(floatAt(0x6300), num(0.99 - 0.01 * s), b);
        d.put(floatAt(0x6302), num(0.001 * s), b);
        d.put(floatAt(0x6380), num(1234.5 * s), b);
        d.put(floatAt(0x6382), num(100 * s), b);
        d.put(floatAt(0x6384), num(s), b);
        // Tv of every set differs; it is too small to change how the controller answers.
        // The active slot's set 0 is the one the controller runs with: it keeps its value.
        for (int k = 0; k < reg::kPidSets; ++k)
            if (s != c.activeSlot || k != 0)
                d.put(reg::kPidTv, num(0.01 * s + 0.001 * k), pidBank(s, k));
    }
}

} // namespace

void addSetupRegisters(SimDevice& d, const DeviceConfig& c) {
    if (c.generation == Generation::Second || c.generation == Generation::Third)
        olderConfiguration(d, c);
    if (c.generation == Generation::Series4) series4Setup(d, c);
}

} // namespace getkelo::sim
