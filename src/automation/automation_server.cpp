#include "automation/automation_server.h"

#include "automation/client_connection.h"
#include "base/clock.h"
#include "console/console.h"

#include <algorithm>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace getkelo {

namespace err = automation_error;

namespace {

constexpr uint64_t kListenerId = 0;

// The answer of a request: its result, or the error it ran into. A field of the wrong JSON
// type is the client's mistake too, never the console's end.
template <typename Run> Json answerOf(const AutomationRequest& request, Run run) {
    try {
        return okAnswer(request.id, run());
    } catch (const RequestError& e) {
        return errorAnswer(request.id, e.code, e.what(), e.extra);
    } catch (const Json::exception& e) {
        return errorAnswer(request.id, err::kBadRequest, e.what());
    }
}

} // namespace

AutomationServer::AutomationServer(Console& console, Clock& clock)
    : console_(console), clock_(clock), requests_(console), epoll_(::epoll_create1(EPOLL_CLOEXEC)) {
}

AutomationServer::~AutomationServer() {
    close();
    if (epoll_ >= 0) ::close(epoll_);
}

AutomationListener::Outcome AutomationServer::listen(const std::string& path) {
    close();
    auto outcome = listener_.listen(path);
    if (outcome == AutomationListener::Outcome::Listening) {
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = kListenerId;
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, listener_.fd(), &ev);
    }
    return outcome;
}

void AutomationServer::close() {
    while (!clients_.empty())
        drop(clients_.begin()->first);
    if (listener_.fd() >= 0) ::epoll_ctl(epoll_, EPOLL_CTL_DEL, listener_.fd(), nullptr);
    listener_.close();
}

// ---------------------------------------------------------------- sockets

void AutomationServer::pump() {
    if (pumping_ || listener_.fd() < 0) return;
    pumping_ = true;
    acceptPeers();
    std::vector<uint64_t> ids;
    for (const auto& [id, client] : clients_)
        ids.push_back(id);
    for (uint64_t id : ids)
        readClient(id);
    for (auto& [id, client] : clients_) {
        if (!client.connection->flush()) toDrop_.push_back(id);
        watch(client);
    }
    expireWaiting();
    dropFailed();
    pumping_ = false;
}

void AutomationServer::acceptPeers() {
    for (int fd = listener_.acceptPeer(); fd >= 0; fd = listener_.acceptPeer()) {
        if (clients_.size() >= kMaxClients) {
            const std::string line =
                toLine(errorAnswer(nullptr, err::kTooManyClients,
                                   "the console serves at most " + std::to_string(kMaxClients) +
                                       " clients")) +
                "\n";
            [[maybe_unused]] ssize_t n =
                ::send(fd, line.data(), line.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
            ::close(fd);
            continue;
        }
        const uint64_t id = nextId_++;
        Client& client = clients_[id];
        client.connection = std::make_unique<ClientConnection>(fd, id);
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = id;
        ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev);
    }
}

void AutomationServer::readClient(uint64_t id) {
    auto it = clients_.find(id);
    if (it == clients_.end()) return;
    std::vector<ClientConnection::Line> lines;
    const bool open = it->second.connection->readLines(lines);
    for (const auto& line : lines) {
        if (line.tooLong)
            send(id, errorAnswer(nullptr, err::kLineTooLong,
                                 "a request line may hold at most " +
                                     std::to_string(kMaxRequestLine) + " bytes"));
        else if (!line.text.empty())
            handleLine(id, line.text);
    }
    if (!open) toDrop_.push_back(id);
}

void AutomationServer::send(uint64_t id, const Json& message) {
    auto it = clients_.find(id);
    if (it == clients_.end()) return;
    ClientConnection& c = *it->second.connection;
    // A client that does not read is dropped rather than slowing the console down.
    if (!c.send(toLine(message)) || c.backlog() > backlogLimit_) toDrop_.push_back(id);
}

void AutomationServer::watch(Client& client) {
    ClientConnection& c = *client.connection;
    const bool wantWrite = c.backlog() > 0;
    if (wantWrite == c.watchingWrite) return;
    epoll_event ev{};
    ev.events = EPOLLIN | (wantWrite ? EPOLLOUT : 0u);
    ev.data.u64 = c.id();
    ::epoll_ctl(epoll_, EPOLL_CTL_MOD, c.fd(), &ev);
    c.watchingWrite = wantWrite;
}

void AutomationServer::drop(uint64_t id) {
    auto it = clients_.find(id);
    if (it == clients_.end()) return;
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, it->second.connection->fd(), nullptr);
    clients_.erase(it);
    // Its waiting requests go with it.
    std::erase_if(waiting_, [id](const AutomationRequest& r) { return r.client == id; });
}

void AutomationServer::dropFailed() {
    std::vector<uint64_t> ids;
    ids.swap(toDrop_);
    for (uint64_t id : ids)
        drop(id);
}

// ---------------------------------------------------------------- requests

void AutomationServer::handleLine(uint64_t id, const std::string& line) {
    Json error;
    auto request = parseRequest(line, error);
    if (!request) {
        send(id, error);
        return;
    }
    Client& client = clients_.at(id);
    request->client = id;
    switch (opKind(request->op)) {
    case OpKind::Unknown:
        send(id, errorAnswer(request->id, err::kUnknownOp,
                             "unknown operation \"" + request->op +
                                 "\" (list, values, read, write, setpoint, subscribe, "
                                 "unsubscribe, log)"));
        return;
    case OpKind::Immediate:
        send(id, answerOf(*request, [&] { return immediate(client, *request); }));
        return;
    case OpKind::Bus:
    case OpKind::TickStart:
        if (client.waiting >= kMaxWaiting) {
            send(id, errorAnswer(request->id, err::kBusy,
                                 "more than " + std::to_string(kMaxWaiting) +
                                     " requests of this client wait for the bus"));
            return;
        }
        ++client.waiting;
        request->queuedMs = clock_.nowMs();
        waiting_.push_back(std::move(*request));
        return;
    }
}

Json AutomationServer::immediate(Client& client, const AutomationRequest& request) {
    const DeviceList& list = console_.devices();
    if (request.op == "list") return deviceListJson(console_);
    if (request.op == "values")
        return deviceValuesJson(list, times_, addressesField(request.body, list));
    if (request.op == "subscribe") {
        client.addresses = addressesField(request.body, list);
        client.subscribed = true;
        return Json{{"subscribed", true}};
    }
    client.subscribed = false; // unsubscribe
    return Json{{"subscribed", false}};
}

void AutomationServer::runWaiting(bool tickStart) {
    if (running_) return;
    running_ = true;
    // The requests that wait now; those that come in while these run wait for the next turn.
    std::vector<AutomationRequest> turn;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (tickStart || opKind(it->op) == OpKind::Bus) {
            turn.push_back(std::move(*it));
            it = waiting_.erase(it);
        } else {
            ++it;
        }
    }
    for (const AutomationRequest& r : turn) {
        auto client = clients_.find(r.client);
        if (client == clients_.end()) continue; // gone: its requests are not carried out
        --client->second.waiting;
        send(r.client, answerOf(r, [&] { return requests_.run(r); }));
    }
    if (!pumping_) dropFailed();
    running_ = false;
}

void AutomationServer::expireWaiting() {
    const int64_t now = clock_.nowMs();
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (now - it->queuedMs < kWaitLimitMs) {
            ++it;
            continue;
        }
        if (auto c = clients_.find(it->client); c != clients_.end()) --c->second.waiting;
        send(it->client, errorAnswer(it->id, err::kBusy,
                                     "the console's polling did not come to the request "
                                     "in time (a dialog that uses the bus is open)"));
        it = waiting_.erase(it);
    }
}

// ---------------------------------------------------------------- the tick

void AutomationServer::serveIdle() {
    pump();
    runWaiting(true);
}

void AutomationServer::serveAtTickStart() {
    pump();
    runWaiting(true);
}

void AutomationServer::serveBetweenExchanges() {
    pump();
    runWaiting(false);
}

void AutomationServer::rowPolled(int row, int result) {
    times_.polled(console_.devices().record(row).address, clock_.nowMs(), result);
}

void AutomationServer::tickDone() {
    const int64_t now = clock_.nowMs();
    for (auto& [id, client] : clients_)
        if (client.subscribed)
            send(id, tickEventJson(console_.devices(), times_, now, client.addresses));
    if (!pumping_) dropFailed();
}

} // namespace getkelo
