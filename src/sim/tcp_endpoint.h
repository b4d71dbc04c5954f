#pragma once
#include "sim/stream_endpoint.h"

#include <string>

namespace getkelo::sim {

// A transparent TCP gateway: raw RTU frames in both directions, one client at a time; the
// next connection is accepted when the current one ends.
class TcpEndpoint final : public StreamEndpoint {
  public:
    ~TcpEndpoint() override;
    // Listens on host:port (port 0 picks a free one); false with a reason on failure.
    bool listen(const std::string& host, int port, std::string& error);
    int port() const { return port_; }
    const std::string& host() const { return host_; }

    int pollFd(short& events) const override;
    void onReady(short revents, std::vector<uint8_t>& incoming) override;
    void write(const std::vector<uint8_t>& bytes) override;
    bool drop() override;

  private:
    int listenFd_ = -1;
    int clientFd_ = -1;
    int port_ = 0;
    std::string host_;
};

} // namespace getkelo::sim
