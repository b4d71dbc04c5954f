#pragma once
#include "sim/device_config.h"

#include <cstdint>

namespace getkelo::sim {

class SimDevice;

// Registers of the series-4 parameter pages beyond the common series-4 map: the tick tables
// of every lookup-table slot (0x6400-0x66FF, three tables of 256 signed values, behind the
// slot selector), filled with a plausible rising table in the slots that hold a calibration.
void series4PageRegisters(SimDevice& device, const DeviceConfig& config);

// What a series-4 device refuses with exception 03 on the pages' registers: a Profibus
// address above 126, lock and indexed-access flags other than 0 and 1, switch bits above
// bit 1 in the pressure switch word, current user ranges outside 0..20 mA and voltage user
// ranges outside 0..10 V (the pressure setpoint is the program's to limit). Floats are
// checked when a write covers both of their registers. 0 when the write may go through.
uint8_t series4PageValueCheck(const SimDevice& device, uint16_t start, int count,
                              const uint8_t* data);

} // namespace getkelo::sim
