#pragma once
#include "console/mixer/mixer_store.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace getkelo {

class DeviceList;

// What the mixer needs to know of one component device, taken from the device list.
struct ComponentDevice {
    int row = 0;
    uint32_t functions = 0;
    std::string unit;       // flow unit (column 6)
    double range = 0;       // column 4
    float setpoint = 0;     // last polled setpoint
    double flow = 0;        // column 5
    bool flowValid = false; // column 5 holds a number (not a poll error)
    double total = 0;       // column 9
    bool totalValid = false;
    std::string totalUnit; // column 10, or the total unit of the flow unit
};

// Finds the listed device of an address.
using DeviceLookup = std::function<std::optional<ComponentDevice>(int address)>;
DeviceLookup deviceListLookup(const DeviceList& list);

// Total setpoint and mixture range of a mixer in the mixture unit.
struct MixerTotals {
    double totalSetpoint = 0;
    double range = 3.4e38;       // no component limits it
    bool setpointEnabled = true; // false for a master that is not a controller
};
MixerTotals mixerTotals(const MixerDefinition& mixer, const DeviceLookup& devices,
                        const std::string& mixtureUnit);

// One setpoint the step sends.
struct SetpointWrite {
    int address = 0;
    float value = 0;
};

struct MixerStepResult {
    std::vector<SetpointWrite> writes;
    double actual = 0; // actual total (master-slave: the master's flow), mixture unit
};

// One mixing step of one active mixer. Only the selected mixer receives the total setpoint
// (fixed components, master); slaves follow their master's flow polled in this tick, limited
// to their range. A target is sent only when it differs from the polled setpoint by more than
// 1e-6, compared as the float the device holds.
MixerStepResult mixerStep(const MixerDefinition& mixer, const DeviceLookup& devices,
                          const std::string& mixtureUnit, bool selected, double totalSetpoint);

// "Gesamttotal": the sum of the components' totalizers in the chosen total unit; nullopt when
// no component has a totalizer reading.
std::optional<double> mixtureTotal(const MixerDefinition& mixer, const DeviceLookup& devices,
                                   const std::string& totalUnit);

} // namespace getkelo
