#pragma once
#include "sim/stream_endpoint.h"

#include <string>

namespace getkelo::sim {

// A pseudo-terminal standing in for a serial port: the program opens the slave (through a
// symbolic link with a stable name) as it would open a COM port.
class PtyEndpoint final : public StreamEndpoint {
  public:
    ~PtyEndpoint() override;
    // Creates the terminal and the link to its slave; false with a reason on failure.
    bool open(const std::string& link, std::string& error);
    const std::string& slavePath() const { return slave_; }
    const std::string& link() const { return link_; }
    // Removes the link (at exit).
    void removeLink();

    int pollFd(short& events) const override;
    int retryMs() const override;
    void onReady(short revents, std::vector<uint8_t>& incoming) override;
    void write(const std::vector<uint8_t>& bytes) override;

  private:
    bool slaveClosed() const;

    int masterFd_ = -1;
    int watchFd_ = -1;  // inotify on the slave: wakes us when a client opens it
    bool idle_ = false; // no client has the slave open
    std::string slave_;
    std::string link_;
};

} // namespace getkelo::sim
