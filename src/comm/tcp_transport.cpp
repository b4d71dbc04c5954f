#include "comm/tcp_transport.h"

#include "base/clock.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace getkelo {
namespace {

constexpr int kAttemptMs = 100;
constexpr int kReconnectIntervalMs = 1000;

bool wouldBlock(int err) {
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

} // namespace

TcpTransport::TcpTransport(uint32_t address, uint16_t port, Clock& clock)
    : address_(address), port_(port), clock_(clock) {}

TcpTransport::~TcpTransport() {
    drop();
}

void TcpTransport::drop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    connected_ = false;
}

bool TcpTransport::attempt(int waitMs) {
    if (connected_) return true;
    if (fd_ < 0) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0) {
            lastError_ = std::string("socket: ") + std::strerror(errno);
            return false;
        }
    }
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port_);
    target.sin_addr.s_addr = address_; // already in transmission order
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0 ||
        errno == EISCONN) {
        connected_ = true;
        return true;
    }
    if (errno != EINPROGRESS && errno != EALREADY && errno != EINTR) {
        lastError_ = std::strerror(errno);
        drop(); // a refused socket is not reused; the next attempt takes a fresh one
        return false;
    }
    if (!clock_.waitFd(fd_, true, waitMs)) {
        lastError_ = "no answer from the gateway";
        return false; // still connecting; the next attempt looks again
    }
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
    if (err != 0) {
        lastError_ = std::strerror(err);
        drop();
        return false;
    }
    connected_ = true;
    return true;
}

bool TcpTransport::connect(int attempts) {
    lastReconnectMs_ = clock_.nowMs();
    for (int i = 0; i < attempts; ++i) {
        int64_t start = clock_.nowMs();
        if (attempt(kAttemptMs)) {
            lastError_.clear();
            return true;
        }
        int rest = kAttemptMs - static_cast<int>(clock_.nowMs() - start);
        if (rest > 0) clock_.sleepMs(rest);
    }
    drop();
    return false;
}

int TcpTransport::send(const uint8_t* data, int length) {
    if (!connected_) {
        int64_t now = clock_.nowMs();
        if (now - lastReconnectMs_ < kReconnectIntervalMs) return -1;
        lastReconnectMs_ = now;
        if (!attempt(kAttemptMs)) return -1;
    }
    // No SIGPIPE when the gateway has gone: the failure is reported like any other.
    ssize_t n = ::send(fd_, data, static_cast<size_t>(length), MSG_NOSIGNAL);
    if (n < 0 && !wouldBlock(errno)) drop();
    return static_cast<int>(n);
}

int TcpTransport::receive(uint8_t* data, int length) {
    if (!connected_ || length <= 0) return 0;
    ssize_t n = ::recv(fd_, data, static_cast<size_t>(length), 0);
    if (n > 0) return static_cast<int>(n);
    // recv 0 is the gateway closing the connection; any error but "nothing yet" ends it too.
    if (n == 0 || !wouldBlock(errno)) drop();
    return 0;
}

void TcpTransport::waitReadable(Clock& clock, int ms) {
    if (!connected_) {
        // A dropped connection waits like a silent device instead of spinning.
        clock.sleepMs(ms);
        return;
    }
    // Ready without bytes means the peer closed; the following receive notices it.
    clock.waitFd(fd_, false, ms);
}

void TcpTransport::purge() {
    if (!connected_) return;
    uint8_t scratch[512];
    for (int i = 0; i < 64; ++i) {
        ssize_t n = ::recv(fd_, scratch, sizeof scratch, 0);
        if (n > 0) continue;
        if (n == 0 || !wouldBlock(errno)) drop();
        return;
    }
}

} // namespace getkelo
