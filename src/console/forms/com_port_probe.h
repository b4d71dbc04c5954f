#pragma once
#include <functional>
#include <string>
#include <vector>

namespace getkelo {

// One entry of the connection dialog's port list.
struct ComPortEntry {
    int number = 0;   // COM number; 0 for a port listed by its path only
    std::string path; // device path
    std::string type; // "RS-232", or "" when the port does not tell
};

// The list text: "COM3  RS-232" for a COM number, "/dev/ttyUSB0  RS-232" for a path;
// `unknownType` stands for a port that does not tell its type.
std::string comPortEntryText(const ComPortEntry& entry, const std::string& unknownType);

// The serial ports the system has under devDir: UARTs that report a type (ttyS*), USB
// adapters (ttyUSB*, ttyACM*) and their stable names (serial/by-id/*), which replace the
// ttyUSB/ttyACM name they point to. Sorted, by-id names first.
std::vector<std::string> systemSerialPorts(const std::string& devDir = "/dev");

// Probes COM1..COM8 in order through their device paths, then the system's ports that no COM
// number names already: a port that opens (not missing, not held by another program) is
// listed with its type, then closed again.
std::vector<ComPortEntry> probeComPorts(const std::function<std::string(int)>& pathOfCom,
                                        const std::vector<std::string>& systemPorts = {});

// Type of an open tty: "RS-232" for UARTs that report a known type and for USB serial
// adapters (which present themselves as RS-232 ports), "" for anything else
// (pseudo-terminals, unknown drivers).
std::string comPortType(int fd, const std::string& path);

} // namespace getkelo
