#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace getkelo {

class TTesra;
class DeviceList;

// What the identity read of one address finds.
struct DeviceIdentity {
    uint8_t address = 0;
    std::string serial;   // column 1
    std::string typeCode; // column 2
    std::string hardwareVersion;
    std::string softwareVersion;
    std::string totalUnit; // column 10 (software 2 and later)
    uint32_t functions = 0;
    bool rangeRead = false; // range, unit and gas below were read
    std::string range;      // column 4
    std::string unit;       // column 6
    std::string gas;        // column 3
};

// Probes the connection's current Address once: the identity read (9 registers from 0x001E),
// and for a device that answers the access-code write, the functions, the second type-code
// part, the totalizer unit and the range/unit/gas read. nullopt when the address is empty.
// Does not touch RetryLimit or Address. With identityOnly only the identity read is made (a
// device the caller will not list is left locked).
std::optional<DeviceIdentity> probeIdentity(TTesra& tesra, bool identityOnly = false);

// Probes the addresses from..to in order (Address is left after the last one); found is
// called for every device that answers.
void probeRange(TTesra& tesra, int from, int to,
                const std::function<void(const DeviceIdentity&)>& found);

// Reads range, unit and gas (10 registers from 0x0014) of the device at Address; false and
// nothing changed on any failure.
bool readRangeAndUnit(TTesra& tesra, DeviceIdentity& identity);

// One poll of the measured values of the device at Address (registers from 0x0000: 12 for a
// controller, 6 for a totalizer device, 4 otherwise).
struct Measurement {
    int result = 0;          // transaction result, 0 = good
    std::string flow;        // as the device returns it
    std::string temperature; // "0.##"
    std::string total;       // totalizer devices
    bool hasTotal = false;
    bool hasSetpoint = false; // controllers
    float setpoint = 0;
    float valve = 0;
};
Measurement readMeasurement(TTesra& tesra, uint32_t functions);

// A good poll into the row's cells (flow, temperature, totalizer) and record (setpoint, valve).
void storeMeasurement(DeviceList& list, int row, const Measurement& m);

// The list text of a failed poll: "Timeout!", "Too short!", "CRC error!".
std::string pollErrorText(int result);

} // namespace getkelo
