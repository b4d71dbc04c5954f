#pragma once
#include "sim/stream_endpoint.h"

#include <string>
#include <vector>

namespace getkelo::sim {

// A transparent TCP gateway: raw RTU frames in both directions. It accepts connections and
// hands them to the server, which serves several clients side by side, each getting only
// the answers to its own requests.
class TcpEndpoint final : public StreamEndpoint {
  public:
    ~TcpEndpoint() override;
    // Listens on host:port (port 0 picks a free one); false with a reason on failure.
    bool listen(const std::string& host, int port, std::string& error);
    int port() const { return port_; }
    const std::string& host() const { return host_; }

    int pollFd(short& events) const override;
    void onReady(short revents, std::vector<uint8_t>& incoming) override;
    void write(const std::vector<uint8_t>&) override {}
    std::unique_ptr<StreamEndpoint> accept() override;

  private:
    int listenFd_ = -1;
    int port_ = 0;
    std::vector<int> accepted_;
    std::string host_;
};

// One client connection of the gateway.
class TcpClient final : public StreamEndpoint {
  public:
    explicit TcpClient(int fd) : fd_(fd) {}
    ~TcpClient() override;

    int pollFd(short& events) const override;
    void onReady(short revents, std::vector<uint8_t>& incoming) override;
    // A client that does not take its answers is flooding: it is dropped.
    void write(const std::vector<uint8_t>& bytes) override;
    bool drop() override;
    bool closed() const override { return fd_ < 0; }

  private:
    int fd_;
};

} // namespace getkelo::sim
