#pragma once
#include "sim/device_config.h"
#include "sim/sim_device.h"

namespace getkelo::sim {

// The registers the factory configuration dialog, the data sets and the setup export read
// and write, with values of their own: the second and third generation's configuration
// blocks (0x1008-0x1013, 0x4046, 0x4080-0x408A, 0x410E-0x4127, 0x4130-0x4138) and slot
// parameters that differ per slot; series 4's whole "SETUP" table, the slot window's
// parameters per slot and the PID sets per slot and set. Values that differ per slot and per
// set make a read of the wrong copy show. Registers the other pages and the flow model rely on
// (analog signal choices, scaling switches, the tuned PID set of the active slot) keep what
// the device profiles gave them.
void addSetupRegisters(SimDevice& device, const DeviceConfig& config);

} // namespace getkelo::sim
