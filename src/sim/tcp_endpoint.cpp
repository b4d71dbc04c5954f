#include "sim/tcp_endpoint.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace getkelo::sim {

bool writeAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    return done == bytes.size();
}

TcpEndpoint::~TcpEndpoint() {
    for (int fd : accepted_)
        ::close(fd);
    if (listenFd_ >= 0) ::close(listenFd_);
}

bool TcpEndpoint::listen(const std::string& host, int port, std::string& error) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    std::string ip = host == "localhost" ? "127.0.0.1" : host;
    if (::inet_pton(AF_INET, ip.c_str(), &a.sin_addr) != 1) {
        error = "not an IPv4 address: " + host;
        return false;
    }
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listenFd_, 4) != 0) {
        error =
            "cannot listen on " + host + ":" + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    socklen_t len = sizeof a;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    host_ = ip;
    return true;
}

int TcpEndpoint::pollFd(short& events) const {
    events = POLLIN;
    return listenFd_;
}

void TcpEndpoint::onReady(short, std::vector<uint8_t>&) {
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    int one = 1;
    // Answers are single small frames: send each at once.
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    // A gateway buffers a few answers, not megabytes: a client that does not read them is
    // found out soon.
    int buffer = 16 * 1024;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    accepted_.push_back(fd);
}

std::unique_ptr<StreamEndpoint> TcpEndpoint::accept() {
    if (accepted_.empty()) return nullptr;
    int fd = accepted_.back();
    accepted_.pop_back();
    return std::make_unique<TcpClient>(fd);
}

TcpClient::~TcpClient() {
    drop();
}

int TcpClient::pollFd(short& events) const {
    events = POLLIN;
    return fd_;
}

void TcpClient::onReady(short, std::vector<uint8_t>& incoming) {
    uint8_t buf[kReadBudget];
    for (;;) {
        ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n > 0) {
            incoming.insert(incoming.end(), buf, buf + n);
            return;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        if (n < 0 && errno == EINTR) continue;
        drop(); // the client went away
        return;
    }
}

void TcpClient::write(const std::vector<uint8_t>& bytes) {
    if (!writeAll(fd_, bytes)) drop();
}

bool TcpClient::drop() {
    if (fd_ < 0) return false;
    ::close(fd_);
    fd_ = -1;
    newSession();
    return true;
}

} // namespace getkelo::sim
