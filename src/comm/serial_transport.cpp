#include "comm/serial_transport.h"

#include "base/clock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace getkelo {
namespace {

constexpr int kReopenIntervalMs = 1000;

std::string errnoText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Errors after which the descriptor is of no further use: the device is gone.
bool deviceGone(int err) {
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF;
}

std::string fileKind(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return "unknown kind";
    if (S_ISREG(st.st_mode)) return "a regular file";
    if (S_ISFIFO(st.st_mode)) return "a pipe";
    if (S_ISSOCK(st.st_mode)) return "a socket";
    if (S_ISCHR(st.st_mode)) return "a character device that is no serial port";
    return "not a device";
}

bool hungUp(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

bool applyLineSettings(int fd, SerialLineSet set) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    ::cfmakeraw(&t);
    const speed_t speed = set == SerialLineSet::Device ? B9600 : B57600;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return false;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    if (set == SerialLineSet::Device) t.c_cflag |= CSTOPB; // 8N2 on the meter bus
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP | IGNPAR | PARMRK);
    if (set == SerialLineSet::Update) {
        // The bootloader paces the image with DC1/DC3 in both directions.
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = 0x11;
        t.c_cc[VSTOP] = 0x13;
    }
    if (::tcsetattr(fd, TCSANOW, &t) != 0) return false;
    // DTR and RTS held inactive: some converters take RTS as the transmit enable. A
    // pseudo-terminal has no modem lines, so a failure here is no reason to refuse the port.
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIC, &lines);
    return true;
}

// A read returns at once with what is there: waits are paced by the caller, not the driver.
bool applyTimeouts(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &t) != 0) return false;
    int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

} // namespace

SerialTransport::SerialTransport(std::string path, SerialLineSet set, Clock& clock)
    : path_(std::move(path)), set_(set), clock_(clock) {}

SerialTransport::~SerialTransport() {
    drop();
}

SerialTransport::OpenStep SerialTransport::open() {
    lastReopenMs_ = clock_.nowMs();
    return openOnce();
}

SerialTransport::OpenStep SerialTransport::openOnce() {
    drop();
    lastError_.clear();
    if (path_.empty()) {
        lastError_ = "no device path";
        return OpenStep::Open;
    }
    int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        lastError_ = errnoText("open");
        return OpenStep::Open;
    }
    // Modbus frames written into a file would overwrite it: only a terminal is a port.
    if (!::isatty(fd)) {
        lastError_ = "not a terminal (" + fileKind(fd) + ")";
        ::close(fd);
        return OpenStep::NotTerminal;
    }
    // flock first: it also refuses a second open from this very process, which TIOCEXCL
    // (not binding for root) does not.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        lastError_ = errno == EWOULDBLOCK ? "in use by another program" : errnoText("flock");
        ::close(fd);
        return OpenStep::Open;
    }
    (void)::ioctl(fd, TIOCEXCL);
    fd_ = fd;
    if (!applyLineSettings(fd_, set_)) {
        lastError_ = errnoText("line settings");
        return OpenStep::Lines;
    }
    if (!applyTimeouts(fd_)) {
        lastError_ = errnoText("timeouts");
        return OpenStep::Timeouts;
    }
    ::tcflush(fd_, TCIOFLUSH);
    return OpenStep::Ok;
}

void SerialTransport::drop() {
    if (fd_ < 0) return;
    (void)::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

void SerialTransport::tryReopen() {
    int64_t now = clock_.nowMs();
    if (now - lastReopenMs_ < kReopenIntervalMs) return;
    lastReopenMs_ = now;
    if (openOnce() != OpenStep::Ok) drop();
}

int SerialTransport::send(const uint8_t* data, int length) {
    if (fd_ < 0) tryReopen();
    if (fd_ < 0) return -1;
    ssize_t n = ::write(fd_, data, static_cast<size_t>(length));
    if (n < 0 && deviceGone(errno)) drop();
    return static_cast<int>(n);
}

int SerialTransport::receive(uint8_t* data, int length) {
    if (fd_ < 0 || length <= 0) return 0;
    ssize_t n = ::read(fd_, data, static_cast<size_t>(length));
    if (n > 0) return static_cast<int>(n);
    // A raw terminal with VMIN 0 returns 0 when nothing is there, and also once its line
    // has gone (adapter pulled, pseudo-terminal peer closed); only poll tells them apart.
    if (n < 0 ? deviceGone(errno) : hungUp(fd_)) drop();
    return 0;
}

void SerialTransport::waitReadable(Clock& clock, int ms) {
    if (fd_ < 0) {
        // A vanished port waits like a silent device instead of spinning.
        clock.sleepMs(ms);
        return;
    }
    int64_t start = clock.nowMs();
    if (!clock.waitFd(fd_, false, ms)) return;
    // poll also reports a hang-up as ready; do not let that turn the wait into a spin.
    int avail = 0;
    if (::ioctl(fd_, FIONREAD, &avail) == 0 && avail > 0) return;
    int rest = ms - static_cast<int>(clock.nowMs() - start);
    if (rest > 0) clock.sleepMs(rest);
}

void SerialTransport::purge() {
    if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

bool SerialTransport::discardPending() {
    // One question to the driver: an empty read of a raw terminal would also need a poll
    // to tell an idle line from a hang-up.
    int waiting = 0;
    if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &waiting) != 0 || waiting <= 0) return false;
    ::tcflush(fd_, TCIFLUSH);
    return true;
}

} // namespace getkelo
