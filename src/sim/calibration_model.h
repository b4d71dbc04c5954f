#pragma once
#include "sim/device_config.h"

#include <cstdint>

namespace getkelo::sim {

class SimDevice;

// The sensor of a device that is calibrated against a reference (DeviceConfig::tableSensor).
// Its physical curve is the factory table divided by (1 + deviation): with the factory table
// the device shows the true flow times (1 + deviation), and a table corrected by the measured
// ratios shows the truth again. The sensor's raw signal is 32768 + zeroTicks at no flow and
// rises by kTicksFullScale over the 128 table steps; the table's offset register
// ("Offset_k0" of the active slot) takes the zero error out, so a zero point that writes
// zeroTicks there removes it.
inline constexpr double kTicksFullScale = 30000;
inline constexpr uint32_t kTicksAtZero = 32768;

// The factory table of the older generations at table step i (0..128): rising, slightly bent,
// 1 at the end.
double factoryTableValue(double step);

// The table step (fractional, 0..128 within the range) at which the sensor of a device with
// this deviation sees the flow share (true flow / table flow).
double sensorStep(double share, double deviation);

// What a table-sensor device shows for the true flow: the active slot's table at the sensor
// step shifted by the zero error the offset leaves, times the table flow (0x4080).
double tableReading(const SimDevice& d, double trueFlow);

// The raw sensor value for the true flow ("SelectSccmTicks" 1 shows it in the flow register).
uint32_t rawTicks(const SimDevice& d, double trueFlow);
bool ticksSelected(const SimDevice& d);

// A reference meter for a calibration: a second-generation meter at `address` whose flow is
// the true flow through the device at `deviceUnderTest` (the two sit in one gas line).
DeviceConfig referenceMeter(uint8_t address, uint8_t deviceUnderTest, double range = 50);

} // namespace getkelo::sim
