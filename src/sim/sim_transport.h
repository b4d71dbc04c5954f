#pragma once
#include "comm/transport.h"
#include "sim/bootloader.h"
#include "sim/rtu_framer.h"
#include "sim/service_protocol.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace getkelo::sim {

class SimBus;

// The simulated bus as an in-process transport, for tests above the wire on virtual time:
// a request is answered when it is sent, and the answer becomes readable once the device's
// answer delay has passed on the clock. A purge discards what has arrived, not what is
// still on its way, as on a real line.
class SimTransport final : public Transport {
  public:
    SimTransport(SimBus& bus, Clock& clock, bool isTcp = true);

    bool isTcp() const override { return isTcp_; }
    int send(const uint8_t* data, int length) override;
    int receive(uint8_t* data, int length) override;
    void waitReadable(Clock& clock, int ms) override;
    void purge() override;

    // Every request frame seen, for tests that count what went on the wire.
    const std::vector<std::vector<uint8_t>>& requests() const { return requests_; }

  private:
    struct InFlight {
        int64_t dueMs;
        std::vector<uint8_t> bytes;
    };
    void arrive();

    SimBus& bus_;
    Clock& clock_;
    bool isTcp_;
    RtuFramer framer_;
    BootloaderLink boot_; // series-4 bootloader, in front of everything else
    ServiceLink service_; // first-generation service protocol, in front of the framer
    std::deque<InFlight> inFlight_;
    std::deque<uint8_t> arrived_;
    std::vector<std::vector<uint8_t>> requests_;
};

} // namespace getkelo::sim
