#include "console/forms/com_port_probe.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <optional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace getkelo {

namespace {

std::string baseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string realPath(const std::string& path) {
    char real[PATH_MAX];
    return realpath(path.c_str(), real) ? std::string(real) : path;
}

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

std::vector<std::string> entriesOf(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A UART driver that knows its chip; the kernel creates ttyS nodes for ports that are absent.
bool isRealUart(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    serial_struct info{};
    const bool real = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return real;
}

// Opens the port the way the channel would and asks its type; nothing when it is missing,
// no terminal, or held by another program.
std::optional<std::string> openableType(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<std::string> type;
    if (isatty(fd) && flock(fd, LOCK_EX | LOCK_NB) == 0) {
        type = comPortType(fd, path);
        flock(fd, LOCK_UN);
    }
    ::close(fd);
    return type;
}

} // namespace

std::string comPortEntryText(const ComPortEntry& e, const std::string& unknownType) {
    const std::string name = e.number > 0 ? "COM" + std::to_string(e.number) : e.path;
    return name + "  " + (e.type.empty() ? unknownType : e.type);
}

std::string comPortType(int fd, const std::string& path) {
    const std::string name = baseName(realPath(path));
    if (startsWith(name, "ttyUSB") || startsWith(name, "ttyACM")) return "RS-232";
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN) return "RS-232";
    return "";
}

std::vector<std::string> systemSerialPorts(const std::string& devDir) {
    std::vector<std::string> ports;
    std::vector<std::string> named; // targets that have a stable name
    const std::string byId = devDir + "/serial/by-id";
    for (const std::string& n : entriesOf(byId)) {
        ports.push_back(byId + "/" + n);
        named.push_back(realPath(byId + "/" + n));
    }
    for (const std::string& n : entriesOf(devDir)) {
        const std::string path = devDir + "/" + n;
        if (startsWith(n, "ttyUSB") || startsWith(n, "ttyACM")) {
            if (std::find(named.begin(), named.end(), realPath(path)) == named.end())
                ports.push_back(path);
        } else if (startsWith(n, "ttyS") && isRealUart(path)) {
            ports.push_back(path);
        }
    }
    return ports;
}

std::vector<ComPortEntry> probeComPorts(const std::function<std::string(int)>& pathOfCom,
                                        const std::vector<std::string>& systemPorts) {
    std::vector<ComPortEntry> out;
    std::vector<std::string> covered;
    for (int n = 1; n <= 8; ++n) {
        const std::string path = pathOfCom(n);
        covered.push_back(realPath(path));
        if (auto type = openableType(path)) out.push_back({n, path, *type});
    }
    for (const std::string& path : systemPorts) {
        if (std::find(covered.begin(), covered.end(), realPath(path)) != covered.end()) continue;
        if (auto type = openableType(path)) out.push_back({0, path, *type});
    }
    return out;
}

} // namespace getkelo
