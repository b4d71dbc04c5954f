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
        for (auto& c : clients_)
            any = c->drop() || any;
        forgetClosedClients();
        return any ? "ok drop" : "ok drop (no client)";
    }
    return runFaultCommand(bus_, line);
}

void SimServer::serve(StreamEndpoint& e, const std::vector<uint8_t>& incoming) {
    std::vector<uint8_t> frame, rtu, passed;
    // In pieces the framer holds whole, taking the requests out as they complete.
    constexpr size_t kPiece = 256;
    for (size_t off = 0; off < incoming.size(); off += kPiece) {
        size_t n = std::min(kPiece, incoming.size() - off);
        std::vector<BusAnswer> answers;
        rtu.clear();
        passed.clear();
        e.boot.push(bus_, incoming.data() + off, static_cast<int>(n), passed, answers);
        e.service.push(bus_, passed.data(), static_cast<int>(passed.size()), rtu, answers);
        e.framer.push(rtu.data(), static_cast<int>(rtu.size()));
        while (e.framer.next(frame)) {
            auto a = bus_.handleFrame(frame.data(), static_cast<int>(frame.size()));
            if (a) answers.push_back(std::move(*a));
        }
        for (BusAnswer& a : answers) {
            if (!a.bytes.empty()) answer(e, std::move(a.bytes), a.delayMs);
            if (e.closed()) return;
        }
        if (e.framer.garbage() > kMaxGarbage) return flooded(e);
    }
}

void SimServer::answer(StreamEndpoint& e, std::vector<uint8_t> bytes, int delayMs) {
    int64_t due = clock_.nowMs() + std::max(delayMs, 0);
    size_t waiting = 0;
    for (const Pending& p : pending_) {
        if (p.endpoint != &e || p.session != e.session()) continue;
        ++waiting;
        due = std::max(due, p.dueMs); // a late answer holds back those behind it
    }
    if (waiting == 0 && delayMs <= 0) return e.write(bytes);
    if (waiting >= kMaxPending) return flooded(e);
    Pending p{due, &e, e.session(), std::move(bytes)};
    auto at = std::upper_bound(pending_.begin(), pending_.end(), due,
                               [](int64_t d, const Pending& x) { return d < x.dueMs; });
    pending_.insert(at, std::move(p));
}

void SimServer::flooded(StreamEndpoint& e) {
    // A TCP client is dropped; a terminal cannot be, so what it sent is forgotten.
    if (e.drop()) return;
    e.framer.clear();
    e.boot.clear();
    e.service.clear();
}

void SimServer::forgetClosedClients() {
    for (auto it = clients_.begin(); it != clients_.end();) {
        if (!(*it)->closed()) {
            ++it;
            continue;
        }
        StreamEndpoint* gone = it->get();
        std::erase_if(pending_, [gone](const Pending& p) { return p.endpoint == gone; });
        it = clients_.erase(it);
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
        std::vector<StreamEndpoint*> all(endpoints_.begin(), endpoints_.end());
        for (auto& c : clients_)
            all.push_back(c.get());
        std::vector<StreamEndpoint*> retry;
        for (auto* e : all) {
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
            StreamEndpoint& e = *owners[i];
            if (e.closed()) continue;
            std::vector<uint8_t> incoming;
            e.onReady(fds[i].revents, incoming);
            if (!incoming.empty()) serve(e, incoming);
            // One client more than a gateway takes is closed at once: it must not wait
            // with requests that would be stale by the time it is served.
            while (auto client = e.accept())
                if (clients_.size() < kMaxClients) clients_.push_back(std::move(client));
        }
        if (r == 0) {
            std::vector<uint8_t> none;
            for (auto* e : retry)
                e->onReady(0, none);
        }
        sendDue();
        forgetClosedClients();
    }
}

} // namespace getkelo::sim
