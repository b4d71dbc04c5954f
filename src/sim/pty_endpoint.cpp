#include "sim/pty_endpoint.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace getkelo::sim {

namespace {
// Without inotify a closed slave can only be noticed by looking again now and then.
constexpr int kIdleRetryMs = 100;
} // namespace

PtyEndpoint::~PtyEndpoint() {
    if (watchFd_ >= 0) ::close(watchFd_);
    if (masterFd_ >= 0) ::close(masterFd_);
}

bool PtyEndpoint::open(const std::string& link, std::string& error) {
    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (masterFd_ < 0 || ::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    slave_ = ::ptsname(masterFd_);
    // Raw line settings, so no byte of a frame is echoed, translated or held back.
    int s = ::open(slave_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (s >= 0) {
        termios t{};
        if (::tcgetattr(s, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(s, TCSANOW, &t);
        }
        ::close(s);
    }
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) ::unlink(link.c_str());
    if (::symlink(slave_.c_str(), link.c_str()) != 0) {
        error = "cannot create link " + link + ": " + std::strerror(errno);
        return false;
    }
    link_ = link;
    boot.setFlowControl(true); // a serial line: the bootloader paces the image with XON/XOFF
    watchFd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watchFd_ >= 0 && ::inotify_add_watch(watchFd_, slave_.c_str(), IN_OPEN) < 0) {
        ::close(watchFd_);
        watchFd_ = -1;
    }
    idle_ = slaveClosed();
    return true;
}

void PtyEndpoint::removeLink() {
    if (!link_.empty()) ::unlink(link_.c_str());
    link_.clear();
}

bool PtyEndpoint::slaveClosed() const {
    pollfd p{masterFd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLHUP) && !(p.revents & POLLIN);
}

int PtyEndpoint::pollFd(short& events) const {
    events = POLLIN;
    // While nobody has the slave open the master reports a hang-up without end; waiting on
    // it would spin, so wait for the next open of the slave instead.
    if (idle_) return watchFd_;
    return masterFd_;
}

int PtyEndpoint::retryMs() const {
    return idle_ && watchFd_ < 0 ? kIdleRetryMs : -1;
}

void PtyEndpoint::onReady(short revents, std::vector<uint8_t>& incoming) {
    if (idle_) {
        char events[256];
        while (watchFd_ >= 0 && ::read(watchFd_, events, sizeof events) > 0) {
        }
        idle_ = slaveClosed();
        if (!idle_) newSession();
        return;
    }
    uint8_t buf[kReadBudget];
    for (;;) {
        ssize_t n = ::read(masterFd_, buf, sizeof buf);
        if (n > 0) {
            incoming.insert(incoming.end(), buf, buf + n);
            return; // more is read on the next wake-up
        }
        if (n < 0 && errno == EINTR) continue;
        break; // EAGAIN: all read; EIO: the slave was closed
    }
    if (slaveClosed()) {
        idle_ = true;
        // An open that came between the hang-up and now would otherwise go unnoticed.
        char events[256];
        while (watchFd_ >= 0 && ::read(watchFd_, events, sizeof events) > 0) {
        }
        idle_ = slaveClosed();
    }
}

void PtyEndpoint::write(const std::vector<uint8_t>& bytes) {
    writeAll(masterFd_, bytes);
}

} // namespace getkelo::sim
