#include "sim/fault_commands.h"

#include "sim/sim_bus.h"

#include <sstream>

namespace getkelo::sim {

std::string runFaultCommand(SimBus& bus, const std::string& line) {
    std::istringstream in(line);
    std::string cmd;
    in >> cmd;
    if (cmd.empty()) return "error: empty command";
    if (cmd == "unplug" || cmd == "plug") {
        bus.setUnplugged(cmd == "unplug");
        return "ok " + cmd;
    }
    static const char* const kDeviceCommands[] = {"silent", "crc",  "short",   "late", "none",
                                                  "gas",    "flow", "service", "boot", "analog"};
    bool known = false;
    for (const char* k : kDeviceCommands)
        known = known || cmd == k;
    if (!known) return "error: unknown command " + cmd;
    int address = -1;
    if (!(in >> address) || address < 1 || address > 247) return "error: " + cmd + ": address?";
    SimDevice* d = bus.device(static_cast<uint8_t>(address));
    if (!d) return "error: no device at " + std::to_string(address);
    std::string ack = "ok " + cmd + " " + std::to_string(address);
    if (cmd == "silent")
        d->setFault(Fault::Silent);
    else if (cmd == "crc")
        d->setFault(Fault::BadCrc);
    else if (cmd == "short")
        d->setFault(Fault::Short);
    else if (cmd == "none")
        d->setFault(Fault::None);
    else if (cmd == "late") {
        int ms = -1;
        if (!(in >> ms) || ms < 0) return "error: late: milliseconds?";
        d->setFault(Fault::Late, ms);
        ack += " " + std::to_string(ms);
    } else if (cmd == "gas") {
        int on = -1;
        if (!(in >> on) || (on != 0 && on != 1)) return "error: gas: 0 or 1?";
        d->setGasSupply(on == 1);
        ack += " " + std::to_string(on);
    } else if (cmd == "service") {
        std::string kind;
        in >> kind;
        if (kind == "stop")
            d->setServiceFault(ServiceFault::StopHalfway);
        else if (kind == "wrong")
            d->setServiceFault(ServiceFault::WrongLine);
        else if (kind == "none")
            d->setServiceFault(ServiceFault::None);
        else
            return "error: service: stop, wrong or none?";
        ack += " " + kind;
    } else if (cmd == "boot") {
        std::string kind;
        in >> kind;
        int ms = 0;
        if (kind == "silent")
            d->setBootFault(BootFault::NoAnswer);
        else if (kind == "error")
            d->setBootFault(BootFault::ErrorTwice);
        else if (kind == "stop")
            d->setBootFault(BootFault::StopHalfway);
        else if (kind == "xoff") {
            if (!(in >> ms) || ms < 0) return "error: boot xoff: milliseconds?";
            d->setBootFault(BootFault::HoldXoff, ms);
            kind += " " + std::to_string(ms);
        } else if (kind == "stay")
            d->setFirmwareMissing(true);
        else if (kind == "none") {
            d->setBootFault(BootFault::None);
        } else
            return "error: boot: silent, error, stop, xoff MS, stay or none?";
        ack += " " + kind;
    } else if (cmd == "flow") {
        double v;
        if (!(in >> v)) return "error: flow: value?";
        d->setMeterFlow(v);
        ack += " " + std::to_string(v);
    } else if (cmd == "analog") {
        double v;
        if (!(in >> v)) return "error: analog: signal?";
        d->setAnalogInput(v);
        ack += " " + std::to_string(v);
    }
    return ack;
}

} // namespace getkelo::sim
