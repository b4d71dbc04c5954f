#include "graphs/pid_access.h"

#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "comm/value_codec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace getkelo {

namespace {

constexpr uint16_t kOldBlock = 0x002D;
constexpr uint16_t kSlotBlock = 0x6202;
constexpr uint8_t kBlockRegisters = 7;
constexpr uint8_t kWriteMultiple = 0x10;

// Register offsets inside the seven-register blocks.
struct Layout {
    int offset[kPidParams]; // -1: the generation has no such parameter
    uint8_t type[kPidParams];
};
constexpr Layout kFirstLayout{{2, 3, 4, 5, 6},
                              {kTypeUInt16, kTypeUInt16, kTypeUInt16, kTypeUInt16, kTypeUInt16}};
constexpr Layout kSecondLayout{{1, 3, 0, 5, 6},
                               {kTypeFloat, kTypeFloat, kTypeUInt16, kTypeUInt16, kTypeUInt16}};
constexpr Layout kThirdLayout{{2, 4, -1, 0, 6},
                              {kTypeFloat, kTypeFloat, kTypeUInt16, kTypeFloat, kTypeUInt16}};

const Layout& layoutOf(PidGeneration g) {
    return g == PidGeneration::First    ? kFirstLayout
           : g == PidGeneration::Second ? kSecondLayout
                                        : kThirdLayout;
}

uint16_t blockOf(PidGeneration g) {
    return g == PidGeneration::Third ? kSlotBlock : kOldBlock;
}

std::string integerText(double v) {
    const double clamped = std::clamp(std::trunc(v), 0.0, 65535.0);
    return std::to_string(static_cast<long>(clamped));
}

// The third generation reaches the active set's registers through the slot selector (loaded
// with the active lookup-table slot) and the set selector (loaded with the active set).
bool selectActiveSet(TTesra& t) {
    const std::string slot = t.ReadValue(reg::kLutSelect);
    if (slot == "Fehler") return false;
    if (t.WriteValue(reg::kSlotSelector, slot, kWriteAddressed) != 0) return false;
    const std::string set = t.ReadValue(reg::kSlotPidSelect);
    if (set == "Fehler") return false;
    return t.WriteValue(reg::kPidSetSelector, set, kWriteAddressed) == 0;
}

void releaseSelectors(TTesra& t) {
    t.WriteValue(reg::kPidSetSelector, "0", kWriteAddressed);
    t.WriteValue(reg::kSlotSelector, "0", kWriteAddressed);
}

bool readBlock(TTesra& t, PidGeneration g, uint8_t* data) {
    uint8_t buffer[kFrameBufferSize];
    if (t.ReadRegisters(buffer, blockOf(g), kBlockRegisters) != kResultOk) return false;
    std::memcpy(data, buffer + 3, 2 * kBlockRegisters);
    return true;
}

void decode(const uint8_t* data, PidGeneration g, bool iScaled, PidValues& values) {
    const Layout& l = layoutOf(g);
    PidValues read = values;
    for (int p = 0; p < kPidParams; ++p) {
        if (l.offset[p] < 0) {
            read[p] = 0;
            continue;
        }
        const std::string text = ValueToText(data + 2 * l.offset[p], l.type[p]);
        if (text.find("NaN") != std::string::npos) continue; // keeps the old working value
        double v = textToDouble(text);
        if (p == kPidI && iScaled) v *= 1000;
        read[p] = v;
    }
    values = read;
}

void encode(uint8_t* data, PidGeneration g, bool iScaled, const PidValues& values) {
    const Layout& l = layoutOf(g);
    for (int p = 0; p < kPidParams; ++p) {
        if (l.offset[p] < 0) continue;
        std::string text;
        if (l.type[p] != kTypeFloat)
            text = integerText(values[p]);
        else if (p == kPidI && iScaled)
            text = formatFixedMax(values[p] / 1000.0, 3); // "0.000": three decimals
        else
            text = formatGeneral(values[p], 7);
        TextToValue(data + 2 * l.offset[p], l.type[p], text);
    }
}

} // namespace

PidGeneration pidGeneration(const std::string& version) {
    if (version < "2.2.0") return PidGeneration::First;
    if (version < "4.0.0") return PidGeneration::Second;
    if (version > "4.0.0") return PidGeneration::Third;
    return PidGeneration::None;
}

bool iKeptTimes1000(const std::string& version) {
    const PidGeneration g = pidGeneration(version);
    return g == PidGeneration::Second || (g == PidGeneration::Third && version < "4.3.06");
}

RegisterDescriptor activeSetRegister(PidGeneration g) {
    switch (g) {
    case PidGeneration::First:
    case PidGeneration::Second:
        return reg::kPidSetOld;
    case PidGeneration::Third:
        return reg::kSlotPidSelect;
    case PidGeneration::None:
        break;
    }
    return 0;
}

bool ReadPID(TTesra& t, const std::string& version, PidValues& values) {
    const PidGeneration g = pidGeneration(version);
    if (g == PidGeneration::None) return false;
    uint8_t data[2 * kBlockRegisters];
    bool ok;
    if (g == PidGeneration::Third) {
        ok = selectActiveSet(t) && readBlock(t, g, data);
        releaseSelectors(t);
    } else {
        ok = readBlock(t, g, data);
    }
    if (ok) decode(data, g, iKeptTimes1000(version), values);
    return ok;
}

bool WritePID(TTesra& t, const std::string& version, const PidValues& values) {
    const PidGeneration g = pidGeneration(version);
    if (g == PidGeneration::None) return false;
    uint8_t frame[kFrameBufferSize] = {};
    uint8_t* data = frame + 7;
    // Registers without a parameter keep what the device holds.
    if (g == PidGeneration::First && !readBlock(t, g, data)) return false;
    const uint16_t start = blockOf(g);
    frame[0] = t.Address;
    frame[1] = kWriteMultiple;
    frame[2] = static_cast<uint8_t>(start >> 8);
    frame[3] = static_cast<uint8_t>(start);
    frame[4] = 0;
    frame[5] = kBlockRegisters;
    frame[6] = 2 * kBlockRegisters;
    encode(data, g, iKeptTimes1000(version), values);
    if (g != PidGeneration::Third)
        return t.Transact(frame, 7 + 2 * kBlockRegisters, 8) == kResultOk;
    bool ok = selectActiveSet(t) && t.Transact(frame, 7 + 2 * kBlockRegisters, 8) == kResultOk;
    releaseSelectors(t);
    return ok;
}

std::optional<int> readActiveSet(TTesra& t, const std::string& version) {
    const PidGeneration g = pidGeneration(version);
    if (g == PidGeneration::None) return std::nullopt;
    if (g == PidGeneration::Third) {
        const std::string slot = t.ReadValue(reg::kLutSelect);
        if (slot == "Fehler" || t.WriteValue(reg::kSlotSelector, slot, kWriteAddressed) != 0)
            return std::nullopt;
    }
    const std::string set = t.ReadValue(activeSetRegister(g));
    if (set == "Fehler") return std::nullopt;
    return static_cast<int>(textToDouble(set));
}

} // namespace getkelo
