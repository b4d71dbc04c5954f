#pragma once
#include "comm/transport.h"

#include <cstdint>
#include <string>

namespace getkelo {

// A TCP gateway that passes the bus bytes through. The socket is non-blocking for its whole
// life, so every receive returns at once. A gateway that drops the connection makes reads
// come back empty and the next send reconnects (one attempt, at most once a second).
class TcpTransport final : public Transport {
  public:
    // address: the four octets in transmission order, as ParseIPv4 gives them.
    TcpTransport(uint32_t address, uint16_t port, Clock& clock);
    ~TcpTransport() override;
    TcpTransport(const TcpTransport&) = delete;
    TcpTransport& operator=(const TcpTransport&) = delete;

    // Up to `attempts` connection attempts, 100 ms apart at most: a reachable gateway
    // connects at once, a refused or silent one costs the whole series.
    bool connect(int attempts = 50);
    const std::string& lastError() const { return lastError_; }
    bool connected() const override { return connected_; }

    bool isTcp() const override { return true; }
    int send(const uint8_t* data, int length) override;
    int receive(uint8_t* data, int length) override;
    void waitReadable(Clock& clock, int ms) override;
    void purge() override;

  private:
    bool attempt(int waitMs);
    void drop();

    uint32_t address_;
    uint16_t port_;
    Clock& clock_;
    int fd_ = -1;
    bool connected_ = false;
    int64_t lastReconnectMs_ = 0;
    std::string lastError_;
};

} // namespace getkelo
