#include "console/device_probe.h"

#include "base/number_format.h"
#include "base/text_cut.h"
#include "comm/register_catalogue.h"
#include "comm/register_descriptor.h"
#include "comm/ttesra.h"
#include "comm/value_codec.h"
#include "console/device_list.h"

#include <cstring>

namespace getkelo {

namespace {

float floatAt(const uint8_t* d) {
    uint32_t bits = static_cast<uint32_t>(d[0]) << 24 | static_cast<uint32_t>(d[1]) << 16 |
                    static_cast<uint32_t>(d[2]) << 8 | d[3];
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

uint16_t wordAt(const uint8_t* d) {
    return static_cast<uint16_t>(d[0] << 8 | d[1]);
}

// "-" after the third character of the type code (characters, not UTF-8 bytes).
std::string withDashAfterThird(const std::string& text) {
    size_t pos = 0;
    for (int chars = 0; chars < 3 && pos < text.size(); ++chars) {
        ++pos;
        while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80)
            ++pos;
    }
    return text.substr(0, pos) + "-" + text.substr(pos);
}

// The leading integer of a read value ("Fehler" and other texts give 0).
uint32_t leadingUnsigned(const std::string& text) {
    long long v = 0;
    if (parseInteger(text, v) && v >= 0 && v <= 0xFFFFFFFFLL) return static_cast<uint32_t>(v);
    return 0;
}

} // namespace

std::optional<DeviceIdentity> probeIdentity(TTesra& tesra, bool identityOnly) {
    uint8_t frame[kFrameBufferSize] = {};
    frame[0] = tesra.Address;
    frame[1] = 0x03;
    frame[2] = 0x00;
    frame[3] = 0x1E;
    frame[4] = 0x00;
    frame[5] = 9;
    if (tesra.Transact(frame, 6, 5 + 2 * 9) != kResultOk) return std::nullopt;

    DeviceIdentity id;
    id.address = tesra.Address;
    const uint8_t* data = frame + 3; // register 0x001E
    id.serial = ValueToText(data, kTypeUInt32);
    id.hardwareVersion = versionText(wordAt(data + 4));                   // 0x0020
    id.softwareVersion = versionText(wordAt(data + 6));                   // 0x0021
    id.typeCode = withDashAfterThird(ValueToText(data + 10, kTypeText8)); // 0x0023-0x0026
    if (identityOnly) return id;

    tesra.WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);

    int major = 0;
    for (char c : id.softwareVersion) {
        if (c < '0' || c > '9') break;
        major = major * 10 + (c - '0');
    }
    if (major < 2) {
        id.functions = 0;
    } else {
        id.totalUnit = tesra.ReadValue(reg::kTotalizerUnitText);
        id.functions = leadingUnsigned(tesra.ReadValue(reg::kFunctionsSelected));
        id.typeCode += "-" + tesra.ReadValue(reg::kTypeCode2);
    }
    id.rangeRead = readRangeAndUnit(tesra, id);
    return id;
}

void probeRange(TTesra& tesra, int from, int to,
                const std::function<void(const DeviceIdentity&)>& found) {
    for (int a = from; a <= to; ++a) {
        tesra.Address = static_cast<uint8_t>(a);
        if (auto id = probeIdentity(tesra)) found(*id);
    }
}

bool readRangeAndUnit(TTesra& tesra, DeviceIdentity& id) {
    uint8_t buffer[kFrameBufferSize] = {};
    if (tesra.ReadRegisters(buffer, 0x0014, 10) != kResultOk) return false;
    const uint8_t* data = buffer + 3;
    id.range = ValueToText(data, kTypeFloat);    // 0x0014-0x0015
    id.unit = ValueToText(data + 4, kTypeText8); // 0x0016-0x0019
    id.gas = ValueToText(data + 12, kTypeText8); // 0x001A-0x001D
    id.unit = cutToCharacters(id.unit, 11);
    return true;
}

Measurement readMeasurement(TTesra& tesra, uint32_t functions) {
    Measurement m;
    bool controller = functions & 1u;
    bool totalizer = functions & 2u;
    uint8_t count = controller ? 12 : totalizer ? 6 : 4;
    uint8_t buffer[kFrameBufferSize] = {};
    m.result = tesra.ReadRegisters(buffer, 0x0000, count);
    if (m.result != kResultOk) return m;
    const uint8_t* data = buffer + 3;
    m.flow = ValueToText(data, kTypeFloat);
    m.temperature = formatFixedMax(floatAt(data + 4), 2);
    if (totalizer) {
        m.hasTotal = true;
        m.total = ValueToText(data + 8, kTypeFloat);
    }
    if (controller) {
        m.hasSetpoint = true;
        m.setpoint = floatAt(data + 12); // registers 6-7
        m.valve = floatAt(data + 20);    // registers 10-11
    }
    return m;
}

std::string pollErrorText(int result) {
    switch (result) {
    case kResultNoAnswer:
        return "Timeout!";
    case kResultShort:
        return "Too short!";
    case kResultBadAnswer:
        return "CRC error!";
    default:
        return "";
    }
}

void storeMeasurement(DeviceList& list, int row, const Measurement& m) {
    list.setCell(row, kColFlow, m.flow);
    list.setCell(row, kColTemperature, m.temperature);
    if (m.hasTotal) list.setCell(row, kColTotal, m.total);
    if (m.hasSetpoint) {
        skelo& rec = list.record(row);
        rec.setpoint = m.setpoint;
        rec.valve = m.valve;
    }
}

} // namespace getkelo
