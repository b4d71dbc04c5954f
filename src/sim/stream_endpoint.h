#pragma once
#include "sim/bootloader.h"
#include "sim/rtu_framer.h"
#include "sim/service_protocol.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace getkelo::sim {

// Bytes one endpoint reads per wake-up: a client that floods is read in bounded pieces, the
// rest waits in the kernel (whose buffers are bounded too), and other clients get their turn.
inline constexpr size_t kReadBudget = 4096;

// One byte stream between a client and the bus: a TCP gateway connection or a
// pseudo-terminal. The server polls the descriptor it names, lets it read, and writes the
// answers back. The TCP gateway's listener is an endpoint too: it reads nothing and hands
// out the connections it accepted.
class StreamEndpoint {
  public:
    virtual ~StreamEndpoint() = default;
    // The descriptor to wait on now and the events, or -1 (then wake after retryMs()).
    virtual int pollFd(short& events) const = 0;
    virtual int retryMs() const { return -1; }
    // Called when pollFd is ready (or the retry time passed); appends at most kReadBudget
    // received bytes.
    virtual void onReady(short revents, std::vector<uint8_t>& incoming) = 0;
    virtual void write(const std::vector<uint8_t>& bytes) = 0;
    // Ends the current client's connection (a gateway restart, a flood); false when there is
    // none to end.
    virtual bool drop() { return false; }
    // A connection accepted since the last call, or nullptr.
    virtual std::unique_ptr<StreamEndpoint> accept() { return nullptr; }
    // The stream has ended for good (a TCP client that went away); the server forgets it.
    virtual bool closed() const { return false; }
    // Changes whenever the client changes, so answers for a gone client are not sent.
    uint64_t session() const { return session_; }

    RtuFramer framer;
    BootloaderLink boot; // series-4 bootloader, in front of the service protocol
    ServiceLink service; // first-generation service protocol, in front of the framer

  protected:
    void newSession() {
        ++session_;
        framer.clear();
        boot.clear();
        service.clear();
    }

  private:
    uint64_t session_ = 0;
};

// Writes all bytes to a non-blocking descriptor; false when they did not all fit (a full
// buffer drops the rest, as a line would lose them).
bool writeAll(int fd, const std::vector<uint8_t>& bytes);

} // namespace getkelo::sim
