#pragma once
#include <string>

namespace getkelo {

class Clock;
class DeviceList;
class TTesra;
class TickDoneFlag;

// What the graph windows need of the operator console: the device list with its selected
// device, the one connection, the tick-done flag, the clock, the folder for graph files, and
// the way a set point reaches the selected device.
class GraphHost {
  public:
    virtual ~GraphHost() = default;
    virtual DeviceList& devices() = 0;
    // Null before start-up and while the connection is being replaced.
    virtual TTesra* connection() = 0;
    virtual TickDoneFlag& tickDone() = 0;
    virtual Clock& clock() = 0;
    // The working directory, where log files and graph files go.
    virtual std::string graphDirectory() = 0;
    // The set point for the selected device, sent by the next polling tick.
    virtual void sendSetpoint(float value) = 0;
};

} // namespace getkelo
