#include "automation/automation_client.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace getkelo {

namespace {

int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

AutomationClient::~AutomationClient() {
    if (fd_ >= 0) ::close(fd_);
}

bool AutomationClient::connect(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        error_ = "socket path too long: " + path;
        return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        error_ = "no console serves " + path + " (" + std::strerror(errno) + ")";
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

bool AutomationClient::sendAll(const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::send(fd_, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = "the console closed the connection";
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool AutomationClient::readLine(std::string& line, int timeoutMs) {
    const int64_t end = steadyMs() + timeoutMs;
    for (;;) {
        if (size_t nl = buffer_.find('\n'); nl != std::string::npos) {
            line = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            return true;
        }
        const int64_t left = end - steadyMs();
        pollfd p{fd_, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) == 0) {
            error_ = "no answer from the console in time";
            return false;
        }
        char chunk[8192];
        ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = "the console closed the connection";
            return false;
        }
        buffer_.append(chunk, static_cast<size_t>(n));
    }
}

Json AutomationClient::request(Json request, int timeoutMs) {
    if (fd_ < 0) return nullptr;
    const int64_t id = nextId_++;
    request["id"] = id;
    if (!sendAll(toLine(request) + "\n")) return nullptr;
    const int64_t end = steadyMs() + timeoutMs;
    std::string line;
    while (readLine(line, static_cast<int>(std::max<int64_t>(0, end - steadyMs())))) {
        Json message = Json::parse(line, nullptr, false);
        if (message.is_discarded() || !message.is_object()) continue;
        if (message.contains("event")) {
            events_.push_back(std::move(message));
            continue;
        }
        if (message.value("id", Json()) == id) return message;
        // An answer without our id (too many clients, a line the server could not read).
        if (message.value("id", Json()).is_null() && message.contains("error")) return message;
    }
    return nullptr;
}

Json AutomationClient::nextEvent(int timeoutMs) {
    if (!events_.empty()) {
        Json e = std::move(events_.front());
        events_.erase(events_.begin());
        return e;
    }
    std::string line;
    const int64_t end = steadyMs() + timeoutMs;
    while (fd_ >= 0 && readLine(line, static_cast<int>(std::max<int64_t>(0, end - steadyMs())))) {
        Json message = Json::parse(line, nullptr, false);
        if (message.is_object() && message.contains("event")) return message;
    }
    return nullptr;
}

} // namespace getkelo
