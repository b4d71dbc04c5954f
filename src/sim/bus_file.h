#pragma once
#include "sim/device_config.h"

#include <string>
#include <vector>

namespace getkelo::sim {

// The bus file: an INI file with one section per device; the section names are free
// (e.g. [Device1]), every section with an "Address" key is a device, in file order.
//
//   [Bus]
//   Demo=1                 start from the built-in demo bus (devices 1..5) and add these
//
//   [Device7]
//   Address=7              slave address 1..247 (247: a factory-new device)
//   Generation=4           1, 2, 3 or 4 (series 4); the defaults of that generation apply
//   Software=4.3.15        version texts "a.b.cc" (patch 0..15)
//   Hardware=4.1.00
//   Serial=24010007
//   Functions=0x03         FunctionsSelected: bit 0 controller, 1 totalizer,
//                          2 reverse-flow detector, 4 Profibus, 5 pressure controller
//   Range=100              full scale of the flow
//   Unit=ln/min            flow unit text (at most 7 characters)
//   Gas=N2
//   TotalizerUnit=ln
//   TypeCode1=GKC4N2A      type code parts 1 and 2 (7 characters each)
//   TypeCode2=A1S0000
//   ControlMode=0          5 or 6: a pressure controller regulates the pressure
//   PressureRange=10       pressure full scale (series 4)
//   PressureUnit=bar
//   Slots=3                lookup-table slots (series 4: LUT_Count, slots 1..n;
//                          older: slots 0..n-1 at 0x0836 + k x 0x12A)
//   UsedSlots=1,2          slots holding a table; the others read "NaN" as range
//   ActiveSlot=1           LutSelect
//   MeterFlow=40           what a meter measures
//   TimeConstantMs=700     lag of the flow behind the valve
//   Noise=0.001            noise amplitude as a fraction of the range
//   AnswerDelayMs=0        turnaround of the device
//   Fault=none             silent, crc, short or late:MS from the start
//
// Returns false with a reason when the file cannot be used.
struct BusFileDevice {
    DeviceConfig config;
    std::string fault; // as in the Fault key
};
bool readBusFile(const std::string& path, std::vector<BusFileDevice>& devices, std::string& error);

} // namespace getkelo::sim
