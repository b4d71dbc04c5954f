#pragma once
#include "comm/transport.h"

#include <cstdint>
#include <string>

namespace getkelo {

// Line settings of a serial channel: the device set talks to meters, the update set to the
// bootloader of series-4 devices.
enum class SerialLineSet { Device, Update };

// A serial port through termios. Opened exclusively (TIOCEXCL plus flock, since TIOCEXCL
// does not hold back root). A port that goes away (USB adapter pulled) makes every read
// come back empty, waits run out their whole window, and the next send tries to reopen the
// path, at most once a second.
class SerialTransport final : public Transport {
  public:
    enum class OpenStep { Ok, Open, NotTerminal, Lines, Timeouts };

    SerialTransport(std::string path, SerialLineSet set, Clock& clock);
    ~SerialTransport() override;
    SerialTransport(const SerialTransport&) = delete;
    SerialTransport& operator=(const SerialTransport&) = delete;

    // Opens and configures the port. On Lines or Timeouts the descriptor stays open (the
    // channel is still usable as far as the driver allows); on Open and NotTerminal (a
    // path that is no terminal: a file, a pipe, /dev/null) nothing is open and nothing
    // was written.
    OpenStep open();
    // The system's reason of the last failing step.
    const std::string& lastError() const { return lastError_; }
    const std::string& path() const { return path_; }
    bool connected() const override { return fd_ >= 0; }

    bool isTcp() const override { return false; }
    int send(const uint8_t* data, int length) override;
    int receive(uint8_t* data, int length) override;
    void waitReadable(Clock& clock, int ms) override;
    void purge() override;
    bool discardPending() override;

  private:
    OpenStep openOnce();
    void drop();
    void tryReopen();

    std::string path_;
    SerialLineSet set_;
    Clock& clock_;
    int fd_ = -1;
    int64_t lastReopenMs_ = 0;
    std::string lastError_;
};

} // namespace getkelo
