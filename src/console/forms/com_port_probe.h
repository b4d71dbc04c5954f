#pragma once
#include <functional>
#include <string>
#include <vector>

namespace getkelo {

// One entry of the connection dialog's port list: "COM3  RS-232".
struct ComPortEntry {
    int number = 0;
    std::string text;
};

// Probes COM1..COM8 in order through their device paths: a port that opens (not missing, not
// held by another program) is listed with its type, then closed again.
std::vector<ComPortEntry> probeComPorts(const std::function<std::string(int)>& pathOfCom);

// Type text of an open tty: "RS-232" for UARTs that report a known type and for USB serial
// adapters (which present themselves as RS-232 ports), "Typ ?" for anything else
// (pseudo-terminals, unknown drivers).
std::string comPortTypeText(int fd, const std::string& path);

} // namespace getkelo
