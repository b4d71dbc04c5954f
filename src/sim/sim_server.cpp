#include "sim/sim_server.h"

#include "base/clock.h"
#include "sim/fault_commands.h"
#include "sim/sim_bus.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace getkelo::sim {

SimServer::SimServer(SimBus& bus, Clock& clock) : bus_(bus), clock_(clock) {}

std::string SimServer::command(const std::string& raw) {
    std::string line = raw;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    if (line == "quit") {
        quit_ = true;
        return "ok quit";
    }
    if (line == "drop") {
        bool any = false;
        for (auto* e : endpoints_)
            any = e->drop() || any;
        return any ? "ok drop" : "ok drop (no client)";
    }
    return runFaultCommand(bus_, line);
}

void SimServer::serve(StreamEndpoint& e, std::vector<uint8_t>& incoming) {
    std::vector<uint8_t> rtu;
    std::vector<BusAnswer> answers;
    e.service.push(bus_, incoming.data(), static_cast<int>(incoming.size()), rtu, answers);
    e.framer.push(rtu.data(), static_cast<int>(rtu.size()));
    std::vector<uint8_t> frame;
    while (e.framer.next(frame)) {
        auto a = bus_.handleFrame(frame.data(), static_cast<int>(frame.size()));
        if (a) answers.push_back(std::move(*a));
    }
    for (BusAnswer& a : answers) {
        if (a.bytes.empty()) continue;
        if (a.delayMs <= 0 && pending_.empty()) {
            e.write(a.bytes);
        } else {
            pending_.push_back({clock_.nowMs() + a.delayMs, &e, e.session(), std::move(a.bytes)});
            std::stable_sort(pending_.begin(), pending_.end(),
                             [](const Pending& x, const Pending& y) { return x.dueMs < y.dueMs; });
        }
    }
}

void SimServer::sendDue() {
    int64_t now = clock_.nowMs();
    while (!pending_.empty() && pending_.front().dueMs <= now) {
        Pending p = std::move(pending_.front());
        pending_.pop_front();
        if (p.endpoint->session() == p.session) p.endpoint->write(p.bytes);
    }
}

void SimServer::readCommands() {
    char buf[512];
    ssize_t n = ::read(commandFd_, buf, sizeof buf);
    if (n <= 0) {
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) commandFd_ = -1; // input closed
        return;
    }
    commandBuffer_.append(buf, static_cast<size_t>(n));
    size_t eol;
    while ((eol = commandBuffer_.find('\n')) != std::string::npos) {
        std::string line = commandBuffer_.substr(0, eol);
        commandBuffer_.erase(0, eol + 1);
        if (line.find_first_not_of(" \r\t") == std::string::npos) continue;
        std::printf("%s\n", command(line).c_str());
        std::fflush(stdout);
    }
}

void SimServer::run() {
    while (!quit_) {
        std::vector<pollfd> fds;
        std::vector<StreamEndpoint*> owners;
        int timeout = -1;
        if (stopFd_ >= 0) fds.push_back({stopFd_, POLLIN, 0}), owners.push_back(nullptr);
        if (commandFd_ >= 0) fds.push_back({commandFd_, POLLIN, 0}), owners.push_back(nullptr);
        std::vector<StreamEndpoint*> retry;
        for (auto* e : endpoints_) {
            short events = 0;
            int fd = e->pollFd(events);
            if (fd >= 0) {
                fds.push_back({fd, events, 0});
                owners.push_back(e);
            } else if (e->retryMs() >= 0) {
                retry.push_back(e);
                timeout = timeout < 0 ? e->retryMs() : std::min(timeout, e->retryMs());
            }
        }
        if (!pending_.empty()) {
            int wait =
                static_cast<int>(std::max<int64_t>(0, pending_.front().dueMs - clock_.nowMs()));
            timeout = timeout < 0 ? wait : std::min(timeout, wait);
        }
        int r = ::poll(fds.data(), fds.size(), timeout);
        if (r < 0 && errno != EINTR) return;
        for (size_t i = 0; i < fds.size() && r > 0; ++i) {
            if (!fds[i].revents) continue;
            if (fds[i].fd == stopFd_ && !owners[i]) return;
            if (fds[i].fd == commandFd_ && !owners[i]) {
                readCommands();
                continue;
            }
            std::vector<uint8_t> incoming;
            owners[i]->onReady(fds[i].revents, incoming);
            if (!incoming.empty()) serve(*owners[i], incoming);
        }
        if (r == 0) {
            std::vector<uint8_t> none;
            for (auto* e : retry)
                e->onReady(0, none);
        }
        sendDue();
    }
}

} // namespace getkelo::sim
