#pragma once
#include "sim/stream_endpoint.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace getkelo {
class Clock;
}

namespace getkelo::sim {

class SimBus;

// The simulator's event loop: waits in poll() on its endpoints, standard input (fault
// commands) and a stop pipe, so an idle bus costs no CPU; a complete request is answered
// as soon as it is read (late answers wait for their time in the same loop, and each
// client's answers leave in the order of its requests, as from one line). What a client
// can make the simulator hold is bounded: a client that floods it with noise or with
// requests it does not wait for is dropped.
class SimServer {
  public:
    SimServer(SimBus& bus, Clock& clock);

    void addEndpoint(StreamEndpoint& endpoint) { endpoints_.push_back(&endpoint); }
    // Reads fault commands from this descriptor (standard input); -1 for none.
    void setCommandFd(int fd) { commandFd_ = fd; }
    // The loop ends when this descriptor becomes readable (signal handler's pipe).
    void setStopFd(int fd) { stopFd_ = fd; }

    // Runs until "quit", the stop descriptor, or an error of poll().
    void run();
    // One command line as from standard input; returns the acknowledgement.
    std::string command(const std::string& line);

    // Limits per client: noise in a row, and answers waiting for their time.
    static constexpr size_t kMaxGarbage = 16 * 1024;
    static constexpr size_t kMaxPending = 32;
    // Clients served side by side (TCP gateway connections).
    static constexpr size_t kMaxClients = 8;

  private:
    struct Pending {
        int64_t dueMs;
        StreamEndpoint* endpoint;
        uint64_t session;
        std::vector<uint8_t> bytes;
    };
    void serve(StreamEndpoint& e, const std::vector<uint8_t>& incoming);
    void answer(StreamEndpoint& e, std::vector<uint8_t> bytes, int delayMs);
    void flooded(StreamEndpoint& e);
    void forgetClosedClients();
    void readCommands();
    void sendDue();

    SimBus& bus_;
    Clock& clock_;
    std::vector<StreamEndpoint*> endpoints_;
    std::vector<std::unique_ptr<StreamEndpoint>> clients_; // accepted TCP connections
    std::deque<Pending> pending_;
    std::string commandBuffer_;
    int commandFd_ = -1;
    int stopFd_ = -1;
    bool quit_ = false;
};

} // namespace getkelo::sim
