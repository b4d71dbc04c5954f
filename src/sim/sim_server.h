#pragma once
#include "sim/stream_endpoint.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace getkelo {
class Clock;
}

namespace getkelo::sim {

class SimBus;

// The simulator's event loop: waits in poll() on its endpoints, standard input (fault
// commands) and a stop pipe, so an idle bus costs no CPU; a complete request is answered
// as soon as it is read (late answers wait for their time in the same loop).
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

  private:
    struct Pending {
        int64_t dueMs;
        StreamEndpoint* endpoint;
        uint64_t session;
        std::vector<uint8_t> bytes;
    };
    void serve(StreamEndpoint& e, std::vector<uint8_t>& incoming);
    void readCommands();
    void sendDue();

    SimBus& bus_;
    Clock& clock_;
    std::vector<StreamEndpoint*> endpoints_;
    std::deque<Pending> pending_;
    std::string commandBuffer_;
    int commandFd_ = -1;
    int stopFd_ = -1;
    bool quit_ = false;
};

} // namespace getkelo::sim
