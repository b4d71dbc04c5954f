#include "console/forms/com_port_probe.h"

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace getkelo {

static std::string baseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string comPortTypeText(int fd, const std::string& path) {
    char real[PATH_MAX];
    std::string name = baseName(realpath(path.c_str(), real) ? std::string(real) : path);
    if (name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0) return "RS-232";
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN) return "RS-232";
    return "Typ ?";
}

std::vector<ComPortEntry> probeComPorts(const std::function<std::string(int)>& pathOfCom) {
    std::vector<ComPortEntry> out;
    for (int n = 1; n <= 8; ++n) {
        const std::string path = pathOfCom(n);
        int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue; // missing, or held exclusively by another program
        if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd); // not a port, or in use by another program
            continue;
        }
        out.push_back({n, "COM" + std::to_string(n) + "  " + comPortTypeText(fd, path)});
        flock(fd, LOCK_UN);
        ::close(fd);
    }
    return out;
}

} // namespace getkelo
