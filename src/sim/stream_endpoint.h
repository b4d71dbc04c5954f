#pragma once
#include "sim/rtu_framer.h"
#include "sim/service_protocol.h"

#include <cstdint>
#include <string>
#include <vector>

namespace getkelo::sim {

// One byte stream between a client and the bus: a TCP gateway port or a pseudo-terminal.
// The server polls the descriptor it names, lets it read, and writes the answers back.
class StreamEndpoint {
  public:
    virtual ~StreamEndpoint() = default;
    // The descriptor to wait on now and the events, or -1 (then wake after retryMs()).
    virtual int pollFd(short& events) const = 0;
    virtual int retryMs() const { return -1; }
    // Called when pollFd is ready (or the retry time passed); appends received bytes.
    virtual void onReady(short revents, std::vector<uint8_t>& incoming) = 0;
    virtual void write(const std::vector<uint8_t>& bytes) = 0;
    // Ends the current client's connection (a gateway restart); false when there is none.
    virtual bool drop() { return false; }
    // Changes whenever the client changes, so answers for a gone client are not sent.
    uint64_t session() const { return session_; }

    RtuFramer framer;
    ServiceLink service; // first-generation service protocol, in front of the framer

  protected:
    void newSession() {
        ++session_;
        framer.clear();
        service.clear();
    }

  private:
    uint64_t session_ = 0;
};

// Writes all bytes to a non-blocking descriptor (answers are short; a full buffer drops
// the rest, as a line would lose them).
void writeAll(int fd, const std::vector<uint8_t>& bytes);

} // namespace getkelo::sim
