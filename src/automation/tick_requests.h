#pragma once
#include "automation/automation_protocol.h"

namespace getkelo {

class Console;
class TTesra;

// The requests that run inside the console's tick, where the bus is free between two of its
// own exchanges: `read`, `write` and `setpoint` of a device the console lists, and `log`
// (start, stop or ask the data logger). Each leaves the connection's Address as it found it.
class TickRequests {
  public:
    explicit TickRequests(Console& console) : console_(console) {}

    // The result of the answer; RequestError for anything that cannot be done.
    Json run(const AutomationRequest& request);

    // Registers the console's own commands write without the access code (setpoint,
    // totalizer reset, control mode, alarm reset, soft reset); every other write needs it.
    static bool openForWrite(RegisterDescriptor descriptor);

  private:
    Json read(const Json& body);
    Json write(const Json& body);
    Json setpoint(const Json& body);
    Json log(const Json& body);
    TTesra& connection();
    int listedRow(int address) const;

    Console& console_;
};

} // namespace getkelo
