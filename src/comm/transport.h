#pragma once
#include <cstdint>

namespace getkelo {

class Clock;

// One way of moving bytes to the bus. The channel primitives of TComm never ask which kind
// they hold; serial ports, TCP gateways and the in-process simulator each implement this.
class Transport {
  public:
    virtual ~Transport() = default;
    virtual bool isTcp() const = 0;
    // One write; returns what the write returns (bytes written, or -1).
    virtual int send(const uint8_t* data, int length) = 0;
    // One non-blocking read; bytes read, or 0 / negative when nothing came.
    virtual int receive(uint8_t* data, int length) = 0;
    // Waits at most ms for input; returns as soon as bytes are there. Never less than the
    // whole window when nothing comes (a silent device costs what it costs).
    virtual void waitReadable(Clock& clock, int ms) = 0;
    // Discards everything pending on input.
    virtual void purge() = 0;
    // The same, telling whether anything was there (stray bytes before a request). The
    // default looks with one receive; a transport whose driver can say how much is waiting
    // asks it instead.
    virtual bool discardPending() {
        uint8_t probe[64];
        if (receive(probe, sizeof probe) <= 0) return false;
        purge();
        return true;
    }
    // False while the link is gone (adapter pulled, gateway dropped) and not yet back.
    virtual bool connected() const { return true; }
};

} // namespace getkelo
