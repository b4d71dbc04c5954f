#pragma once
#include "sim/device_config.h"
#include "sim/sim_device.h"

#include <memory>
#include <vector>

namespace getkelo::sim {

// A device of the configured generation with the register map that generation has:
//  - every generation: measurement block 0x0000-0x000E, identity block 0x0013-0x0026,
//    access code 0x002B, soft reset 0x0034 (the first generation has nothing more);
//  - second and third: also 0x000F-0x0035 (PID values from 0x002D, PID set 0x0035),
//    0x1000-0x1011, 0x4040-0x4053, 0x4080-0x4087, 0x4100, 0x4120-0x413B and five
//    lookup-table slots at 0x0836 + k x 0x12A;
//  - series 4: as second and third without the old slots, plus 0x5000-0x5F3F (names,
//    analog, Profibus, filter, scaling, pressure controller), the selectors 0x5FF7 and
//    0x5FFF, and the slot window 0x6000-0x63FF with its PID sets 0x6202-0x6209.
// Protected (writable only after the access code): identity, configuration, slot contents.
// Never protected: totalizer, setpoint, control mode, slave address, command, access code,
// soft reset, PID set 0x0035, alarm reset, pressure setpoint and every selector.
// Read-only: the measured values (flow, temperature, analog value, reverse-flow and alarm
// words, pressure). The valve register takes a drive, which control mode 2 holds.
std::unique_ptr<SimDevice> buildDevice(const DeviceConfig& config, int64_t nowMs);

// Sensible values for a device of one generation (the bus file starts from these).
DeviceConfig defaultConfig(Generation generation);

// The built-in demo bus: one device of every kind at addresses 1 to 5.
std::vector<DeviceConfig> demoBus();

} // namespace getkelo::sim
