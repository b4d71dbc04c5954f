#include "automation/client_connection.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace getkelo {

ClientConnection::ClientConnection(int fd, uint64_t id) : fd_(fd), id_(id) {}

ClientConnection::~ClientConnection() {
    if (fd_ >= 0) ::close(fd_);
}

bool ClientConnection::readLines(std::vector<Line>& lines) {
    char buffer[16384];
    // A bounded amount per call, so that one busy client cannot hold the others up.
    for (int round = 0; round < 8; ++round) {
        ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == 0) return false;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (c == '\n') {
                if (!discarding_) {
                    if (!in_.empty() && in_.back() == '\r') in_.pop_back();
                    lines.push_back({std::move(in_), false});
                }
                in_.clear();
                discarding_ = false;
            } else if (!discarding_) {
                if (in_.size() >= kMaxRequestLine) {
                    // Reported once; the rest of the line is dropped as it comes.
                    lines.push_back({{}, true});
                    in_.clear();
                    discarding_ = true;
                } else {
                    in_.push_back(c);
                }
            }
        }
        if (static_cast<size_t>(n) < sizeof buffer) return true;
    }
    return true;
}

bool ClientConnection::send(const std::string& line) {
    if (failed_) return false;
    if (sent_ > 0 && sent_ == out_.size()) {
        out_.clear();
        sent_ = 0;
    }
    out_ += line;
    out_ += '\n';
    return flush();
}

bool ClientConnection::flush() {
    while (!failed_ && sent_ < out_.size()) {
        ssize_t n =
            ::send(fd_, out_.data() + sent_, out_.size() - sent_, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) failed_ = true;
            break;
        }
        sent_ += static_cast<size_t>(n);
    }
    if (sent_ == out_.size()) {
        out_.clear();
        sent_ = 0;
    } else if (sent_ > 65536 && sent_ * 2 > out_.size()) {
        out_.erase(0, sent_);
        sent_ = 0;
    }
    return !failed_;
}

} // namespace getkelo
