#pragma once
#include "automation/automation_listener.h"
#include "automation/automation_protocol.h"
#include "automation/device_values.h"
#include "automation/tick_requests.h"
#include "console/tick_hooks.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace getkelo {

class Clock;
class ClientConnection;
class Console;

// The automation socket of a running console: scripts connect, send requests and get
// answers and pushed tick values (automation_protocol.h). Everything runs on the console's
// one thread: pump() does the socket work without ever blocking, and the console's tick
// (RequestHook) runs the requests that need the bus between its own exchanges.
class AutomationServer : public RequestHook {
  public:
    static constexpr int kMaxClients = 8;
    // Requests of one client that may wait for the tick at the same time.
    static constexpr int kMaxWaiting = 16;
    // A waiting request is answered "busy" when no tick took it in this time (a dialog that
    // uses the bus has stopped the polling).
    static constexpr int64_t kWaitLimitMs = 10'000;

    AutomationServer(Console& console, Clock& clock);
    ~AutomationServer() override;
    AutomationServer(const AutomationServer&) = delete;
    AutomationServer& operator=(const AutomationServer&) = delete;

    AutomationListener::Outcome listen(const std::string& path);
    const AutomationListener& listener() const { return listener_; }
    void close();

    // Readable when the server has work for pump() (a peer, a line, room to write).
    int pollFd() const { return epoll_; }
    // Accepts, reads, answers at once what needs no bus, queues the rest, writes what waits.
    // Never blocks; does nothing when called from inside itself.
    void pump();
    bool pumping() const { return pumping_; }

    // A client whose unread lines pass this many bytes is dropped (default 1 MiB).
    void setBacklogLimit(size_t bytes) { backlogLimit_ = bytes; }
    int clientCount() const { return static_cast<int>(clients_.size()); }

    // Between two ticks, while the console's polling owns the bus (no dialog has stopped it):
    // pump() and the waiting requests at once, so none waits for the next tick.
    void serveIdle();

    // RequestHook
    void serveAtTickStart() override;
    void serveBetweenExchanges() override;
    void rowPolled(int row, int result) override;
    void tickDone() override;

  private:
    struct Client {
        std::unique_ptr<ClientConnection> connection;
        bool subscribed = false;
        std::vector<int> addresses; // of the subscription; empty = all
        int waiting = 0;
    };

    void acceptPeers();
    void readClient(uint64_t id);
    void handleLine(uint64_t id, const std::string& line);
    Json immediate(Client& client, const AutomationRequest& request);
    void runWaiting(bool tickStart);
    void expireWaiting();
    void send(uint64_t id, const Json& message);
    void watch(Client& client);
    void drop(uint64_t id);
    void dropFailed();

    Console& console_;
    Clock& clock_;
    TickRequests requests_;
    PollTimes times_;
    AutomationListener listener_;
    int epoll_ = -1;
    std::map<uint64_t, Client> clients_;
    std::vector<uint64_t> toDrop_;
    std::deque<AutomationRequest> waiting_;
    uint64_t nextId_ = 1;
    size_t backlogLimit_ = 1 << 20;
    bool pumping_ = false;
    bool running_ = false; // inside runWaiting
};

} // namespace getkelo
