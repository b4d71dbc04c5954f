#include "sim/device_profiles.h"
#include "base/integer_parse.h"

#include "sim/calibration_model.h"
#include "sim/service_protocol.h"
#include "sim/setup_registers.h"
#include "sim/sim_registers.h"
#include "sim/sim_series4_pages.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

namespace getkelo::sim {

uint16_t versionWord(const std::string& text) {
    long long parts[3] = {0, 0, 0};
    size_t at = 0;
    for (long long& part : parts) {
        size_t end = at;
        part = leadingInteger(text, 0, 0xFF, &end, at);
        if (end == at || end >= text.size() || text[end] != '.') break;
        at = end + 1;
    }
    return static_cast<uint16_t>((parts[0] & 0xFF) << 8 | (parts[1] & 0x0F) << 4 |
                                 (parts[2] & 0x0F));
}

namespace {

constexpr uint8_t P = kRegProtected;
constexpr uint8_t RO = kRegReadOnly;
constexpr uint8_t W = 0;

std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7g", v);
    return buf;
}

bool used(const DeviceConfig& c, int slot) {
    return std::find(c.usedSlots.begin(), c.usedSlots.end(), slot) != c.usedSlots.end();
}

// Gas, range and unit of a slot: the first used slot carries the configured gas.
struct SlotIdentity {
    std::string gas, longName;
    double range;
};
SlotIdentity slotIdentity(const DeviceConfig& c, int slot) {
    bool first = !c.usedSlots.empty() && slot == c.usedSlots.front();
    if (first) return {c.gas, c.gas == "N2" ? "Stickstoff" : c.gas, c.range};
    return {"Air", "Luft", c.range};
}

void measurementAndIdentity(SimDevice& d, const DeviceConfig& c) {
    using namespace reg;
    d.define(0x0000, 4, RO); // flow, temperature
    d.define(0x0004, 4, W);  // totalizer, setpoint
    d.define(0x0008, 6, RO); // analog value, valve, reverse-flow word, alarm word
    d.define(0x000A, 2, W);  // the valve takes a drive for control mode 2 ("Ventil fix")
    d.define(0x000E, 1, W);  // control mode
    d.define(0x0013, 1, W);  // slave address: the scan changes it without unlocking
    d.define(0x0014, 14, P); // range, unit, gas, serial number, versions
    d.define(0x0022, 1, W);  // command
    d.define(0x0023, 4, P);  // type code part 1
    d.define(0x002B, 2, W);  // access code
    d.define(0x0034, 1, W);  // soft reset
    d.put(kControlMode, std::to_string(c.controlMode));
    d.put(kModbusAddress, std::to_string(c.address));
    d.put(kRange, num(c.range));
    d.put(kFlowUnitText, c.unit);
    d.put(kGasText, c.gas);
    d.put(kSerialNumber, std::to_string(c.serial));
    d.put(kHardwareVersion, std::to_string(versionWord(c.hardware)));
    d.put(kSoftwareVersion, std::to_string(versionWord(c.software)));
    d.put(kTypeCode1, c.typeCode1);
}

void configuration(SimDevice& d, const DeviceConfig& c) {
    using namespace reg;
    d.define(0x000F, 4, P);
    d.define(0x0027, 4, P);
    d.define(0x0035, 1, W); // PID set of the generations before series 4
    // Five PID sets, shown at 0x002D by the set in 0x0035; set 0 is a well-tuned one.
    static const char* kOldP[kPidSets] = {"25", "15", "50", "80", "120"};
    for (int k = 0; k < kPidSets; ++k) {
        d.define(kOldPidWindowFirst, kOldPidWindowLast - kOldPidWindowFirst + 1, P, oldPidBank(k));
        d.put(kPidDOld, "0", oldPidBank(k));
        d.put(kPidPOld, kOldP[k], oldPidBank(k));
        d.put(kPidIOld, "0.5", oldPidBank(k));
        d.put(kPidNOld, "50", oldPidBank(k));
        d.put(kPidFOld, "77", oldPidBank(k));
    }
    d.define(0x1000, 0x12, P);
    d.put(kTypeCode2, c.typeCode2);
    d.put(kTempUnit, "°C");
    d.put(kPressUnit, "bar");
    d.define(0x4040, 0x14, P);
    d.define(0x404F, 1, W); // alarm reset
    d.put(kPowerUp, "0");
    d.put(kPowerUpSetpoint, "0");
    d.put(kTotalizerUnitText, c.totalizerUnit);
    d.put(kCutOff, num(c.range * 0.005));
    d.put(kDetectorMode, "1");
    // The third generation writes its lookup tables into the EEPROM only when told to.
    d.put(kEepromMode, c.generation == Generation::Third ? "0" : "1");
    d.put(kReverseFlowLimit, "2");
    d.define(0x4080, 8, P);
    d.put(makeDescriptor(0x4080, 2, kTypeFloat), num(c.range)); // flow of the table values
    d.put(kFunctionsSelected, std::to_string(c.functions));
    d.put(kAlarmDelay, "1");
    d.define(0x4100, 1, P);
    d.define(0x4110, 2, P); // flow offset, sensor gain
    d.put(makeDescriptor(0x4111, 1, kTypeUInt16), "1000");
    d.define(0x4120, 0x1C, P);
    d.put(kFunctionsAvailable, "63");
    d.put(kLutSelect, std::to_string(c.activeSlot));
}

void oldLookupSlots(SimDevice& d, const DeviceConfig& c) {
    using namespace reg;
    for (int k = 0; k < c.slotCount; ++k) {
        uint16_t base = static_cast<uint16_t>(kLutSlotBase + k * kLutSlotSize);
        d.define(base, kLutSlotSize, P);
        auto at = [&](uint16_t off, int n, uint8_t t) {
            return makeDescriptor(static_cast<uint16_t>(base + off), static_cast<uint8_t>(n), t);
        };
        if (!used(c, k)) {
            d.put(at(kLutOffRange, 2, kTypeFloat), "NaN"); // an empty slot
            continue;
        }
        SlotIdentity id = slotIdentity(c, k);
        // Flow as a fraction of the full scale at each of the 129 sensor steps: rising,
        // slightly bent, 1 at the end.
        for (int i = 0; i < kLutValues; ++i) {
            d.put(at(static_cast<uint16_t>(2 * i), 2, kTypeFloat), num(factoryTableValue(i)));
        }
        d.put(at(0x0938 - kLutSlotBase, 2, kTypeFloat), "0.0012");             // kFFTT
        d.put(at(0x093A - kLutSlotBase, 2, kTypeFloat), "-0.031");             // kFFT
        d.put(at(0x093C - kLutSlotBase, 2, kTypeFloat), "0.00045");            // kFTT
        d.put(at(0x093E - kLutSlotBase, 2, kTypeFloat), "0.0021");             // kFT
        d.put(at(0x0940 - kLutSlotBase, 1, kTypeInt16), "-12");                // Offset_k0
        d.put(at(0x0941 - kLutSlotBase, 2, kTypeFloat), "1.0003");             // Offset_k1
        d.put(at(0x0943 - kLutSlotBase, 2, kTypeFloat), "0.98");               // Temp_k0
        d.put(at(0x0945 - kLutSlotBase, 2, kTypeFloat), "0.0016");             // Temp_k1
        d.put(at(0x0947 - kLutSlotBase, 2, kTypeFloat), "22.5");               // ThetaCalib
        d.put(at(0x0949 - kLutSlotBase, 2, kTypeFloat), num(id.range * 1000)); // kn_sccm
        d.put(at(kLutOffFlowUnit, 4, kTypeText8), c.unit);
        d.put(at(kLutOffRange, 2, kTypeFloat), num(id.range));
        d.put(at(kLutOffGas, 4, kTypeText8), id.gas);
        d.put(at(kLutOffIdent, 2, kTypeUInt32), std::to_string(0x5F3A1000u + k));
        d.put(at(kLutOffInfo, 1, kTypeUInt16), "8196");
        d.put(at(kLutOffPressure, 2, kTypeFloat), "1.01325");
    }
}

void series4Registers(SimDevice& d, const DeviceConfig& c) {
    using namespace reg;
    d.define(0x5000, 25, P);
    d.put(kTagName, "Messstelle " + std::to_string(c.address));
    d.define(0x5100, 2, P);
    d.define(0x5200, 1, P);
    d.define(0x5300, 2, P);
    d.put(kEepromSize, "4096");
    d.put(kLutCount, std::to_string(c.slotCount));
    d.define(0x5400, 0x17, P);
    d.define(0x5420, 3, P);
    d.define(0x5500, 0x16, P);
    d.put(makeDescriptor(0x5507, 2, kTypeFloat), "20");
    d.put(makeDescriptor(0x550B, 2, kTypeFloat), "10");
    d.put(makeDescriptor(0x550F, 2, kTypeFloat), "20");
    d.put(makeDescriptor(0x5513, 2, kTypeFloat), "10");
    d.put(kPressFilter, "3");
    d.define(0x5900, 2, P);
    d.define(0x5940, 3, P);
    d.put(kProfibusAddress, "126");
    d.define(0x5C08, 9, P);
    d.put(kFilterType, "1");
    d.put(kFilterBand, "0.5");
    d.define(0x5D00, 0x10, P);
    d.define(0x5E00, 7, P);

    // Pressure controller block.
    d.define(0x5F00, 0x40, P);
    d.define(0x5F00, 2, RO);
    d.define(0x5F06, 2, W);
    d.define(0x5F1F, 1, W);
    d.put(kPressScaleFull, num(c.pressureRange));
    d.put(kPressureUnitText, c.pressureUnit);
    d.put(kPressFlowLimit, num(c.range));
    d.put(kPressK0, "1");
    d.put(kPressK1, "0.5");
    d.put(kPressTagName, "Druck " + std::to_string(c.address));
    d.define(0x5FF7, 1, W);
    d.define(0x5FFF, 1, W);

    for (int s = 1; s <= c.slotCount; ++s) {
        uint16_t b = slotBank(s);
        d.define(0x6000, 4, P, b);
        d.define(0x6010, 2, P, b);
        d.define(0x6020, 0x30, P, b);
        d.define(0x6100, 0x0E, P, b);
        d.define(0x6120, 5, P, b);
        d.define(0x6140, 8, P, b);
        d.define(0x6200, 2, P, b);
        d.define(0x6300, 4, P, b);
        d.define(0x6380, 0x0A, P, b);
        for (int k = 0; k < kPidSets; ++k) {
            d.define(kPidWindowFirst, kPidWindowLast - kPidWindowFirst + 1, P, pidBank(s, k));
            d.define(kPressPidWindowFirst, kPressPidWindowLast - kPressPidWindowFirst + 1, P,
                     pressurePidBank(s, k));
            d.put(kPressKp, num(1000 + 250 * k), pressurePidBank(s, k));
            d.put(kPressKi, "1000", pressurePidBank(s, k));
            d.put(kPressKd, "0", pressurePidBank(s, k));
            d.put(kPressN, "10", pressurePidBank(s, k));
        }
        if (!used(c, s)) {
            d.put(kSlotRange, "NaN", b);
            continue;
        }
        SlotIdentity id = slotIdentity(c, s);
        d.put(kLookupIdent, std::to_string(0x5F3A1000u + s), b);
        d.put(kLookupInfo, "8196", b);
        d.put(kSlotRange, num(id.range), b);
        d.put(kSlotGasName, id.longName, b);
        d.put(kSlotGas, id.gas, b);
        d.put(kSlotFlowUnit, c.unit, b);
        d.put(makeDescriptor(0x604A, 2, kTypeFloat), "1.01325", b);
        d.put(makeDescriptor(0x604E, 2, kTypeFloat), "1.25", b);
        d.put(kSlotDynamic, "0", b); // not 0 would make the set point a pressure
        d.put(kSlotTotalizerUnit, c.totalizerUnit, b);
        // Set 0 is well tuned; the others answer slower or overshoot (see controller_tuning).
        static const char* kKp[kPidSets] = {"500", "300", "1000", "1600", "2400"};
        for (int k = 0; k < kPidSets; ++k) {
            uint16_t pb = pidBank(s, k);
            d.put(kPidTv, "0", pb);
            d.put(kPidKp, kKp[k], pb);
            d.put(kPidTn, c.software < "4.3.06" ? "1" : "1000", pb);
            d.put(kPidN, "3000", pb);
        }
    }
}

} // namespace

std::unique_ptr<SimDevice> buildDevice(const DeviceConfig& c, int64_t nowMs) {
    auto d = std::make_unique<SimDevice>(c, nowMs);
    measurementAndIdentity(*d, c);
    if (c.generation != Generation::First) configuration(*d, c);
    if (c.generation == Generation::Second || c.generation == Generation::Third) {
        oldLookupSlots(*d, c);
        d->storeLookupTables();
    }
    if (c.generation == Generation::First) d->serviceImage() = initialServiceImage(c);
    if (c.generation == Generation::Series4) {
        series4Registers(*d, c);
        series4PageRegisters(*d, c);
        // Identity block follows the active slot, as after a LutSelect write.
        if (used(c, c.activeSlot)) {
            uint16_t b = slotBank(c.activeSlot);
            d->put(reg::kRange, d->get(reg::kSlotRange, b));
            d->put(reg::kFlowUnitText, d->get(reg::kSlotFlowUnit, b));
            d->put(reg::kGasText, d->get(reg::kSlotGas, b));
        }
    }
    addSetupRegisters(*d, c);
    return d;
}

DeviceConfig defaultConfig(Generation g) {
    DeviceConfig c;
    c.generation = g;
    switch (g) {
    case Generation::Series4:
        c.software = "4.3.15";
        c.hardware = "4.1.00";
        c.functions = reg::kFnController | reg::kFnTotalizer;
        c.slotCount = 3;
        c.usedSlots = {1};
        c.activeSlot = 1;
        break;
    case Generation::Third:
        c.software = "3.5.02";
        c.hardware = "3.1.00";
        c.functions = reg::kFnController | reg::kFnTotalizer;
        c.typeCode1 = "GKC3N2A";
        c.slotCount = 5;
        c.usedSlots = {0};
        break;
    case Generation::Second:
        c.software = "2.3.01";
        c.hardware = "2.1.00";
        c.functions = reg::kFnTotalizer | reg::kFnReverseFlow;
        c.typeCode1 = "GKM2N2A";
        c.slotCount = 5;
        c.usedSlots = {0};
        break;
    case Generation::First:
        c.software = "1.2.03";
        c.hardware = "1.0.00";
        c.functions = 0;
        c.typeCode1 = "GKM1N2A";
        c.typeCode2 = "";
        break;
    }
    return c;
}

std::vector<DeviceConfig> demoBus() {
    std::vector<DeviceConfig> bus;
    DeviceConfig c = defaultConfig(Generation::Series4);
    c.address = 1;
    c.serial = 24010001;
    c.functions = 0x03;
    c.usedSlots = {1, 2};
    bus.push_back(c);

    c = defaultConfig(Generation::Series4);
    c.address = 2;
    c.serial = 24010002;
    c.functions = 0x21;
    c.controlMode = 5;
    c.pressureRange = 10;
    c.typeCode1 = "GKP4N2A";
    bus.push_back(c);

    c = defaultConfig(Generation::Third);
    c.address = 3;
    c.serial = 23010003;
    c.range = 20;
    c.usedSlots = {0, 1};
    c.tableSensor = true; // 2 % high with its factory table, 25 ticks off at zero
    c.deviation = 0.02;
    c.zeroTicks = 25;
    c.analogIo = true; // output 1.2 % high and 0.08 mA up, input 1.5 % low and 0.06 mA up
    c.outGainError = 0.012;
    c.outZeroError = 0.08;
    c.inGainError = -0.015;
    c.inZeroError = 0.06;
    c.noise = 0.0002;
    bus.push_back(c);

    c = defaultConfig(Generation::Second);
    c.address = 4;
    c.serial = 22010004;
    c.functions = 0x06;
    c.range = 500;
    c.unit = "mln/min";
    c.totalizerUnit = "ln";
    c.meterFlow = 200;
    bus.push_back(c);

    c = defaultConfig(Generation::First);
    c.address = 5;
    c.serial = 21010005;
    c.range = 10;
    c.meterFlow = 4;
    bus.push_back(c);

    for (auto& d : bus)
        d.seed = d.address;
    return bus;
}

} // namespace getkelo::sim
