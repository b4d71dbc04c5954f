#include "automation/automation_listener.h"

#include "automation/socket_path.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace getkelo {
namespace {

bool fillAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// True when a console accepts connections on the path.
bool someoneListens(const sockaddr_un& addr) {
    int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe < 0) return false;
    int r = ::connect(probe, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    // A full backlog (EAGAIN) still means a live listener.
    bool live = r == 0 || errno == EAGAIN || errno == EINPROGRESS;
    ::close(probe);
    return live;
}

} // namespace

AutomationListener::~AutomationListener() {
    close();
}

AutomationListener::Outcome AutomationListener::listen(const std::string& path) {
    close();
    path_ = path;
    error_.clear();
    sockaddr_un addr;
    if (!fillAddress(path, addr)) {
        error_ = "socket path too long: " + path;
        return Outcome::Failed;
    }
    if (!prepareSocketFolder(path, error_)) return Outcome::Failed;

    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            error_ = path + " exists and is not a socket";
            return Outcome::Failed;
        }
        if (someoneListens(addr)) return Outcome::InUse;
        // Left by a console that did not end cleanly.
        ::unlink(path.c_str());
    }
    if (!bindFresh()) {
        if (errno == EADDRINUSE) return Outcome::InUse; // another one started at this moment
        error_ = "cannot listen on " + path + ": " + std::strerror(errno);
        return Outcome::Failed;
    }
    return Outcome::Listening;
}

bool AutomationListener::bindFresh() {
    sockaddr_un addr;
    fillAddress(path_, addr);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        int e = errno;
        ::close(fd);
        errno = e;
        return false;
    }
    // The folder is private already; the socket itself is for this user alone too.
    struct stat st {};
    if (::chmod(path_.c_str(), 0600) != 0 || ::stat(path_.c_str(), &st) != 0 ||
        ::listen(fd, 16) != 0) {
        int e = errno;
        ::close(fd);
        ::unlink(path_.c_str());
        errno = e;
        return false;
    }
    fd_ = fd;
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    return true;
}

int AutomationListener::acceptPeer() {
    while (fd_ >= 0) {
        int peer = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (peer < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return -1;
        }
        ucred cred{};
        socklen_t len = sizeof cred;
        if (::getsockopt(peer, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 &&
            cred.uid == ::geteuid())
            return peer;
        ::close(peer);
        ++refused_;
    }
    return -1;
}

void AutomationListener::close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && st.st_dev == dev_ && st.st_ino == ino_)
        ::unlink(path_.c_str());
}

} // namespace getkelo
