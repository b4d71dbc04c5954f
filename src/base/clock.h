#pragma once
#include <cstdint>

namespace getkelo {

// All waiting and all reading of the time go through one Clock, so tests can run
// a 1.1 s bus timeout or a day of logging on virtual time.
class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since the Unix epoch (UTC).
    virtual int64_t nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
    // Waits until fd is readable (or writable when forWrite), at most ms; true when ready.
    // Bus waits use this so they wake as soon as bytes arrive. Never processes UI events.
    virtual bool waitFd(int fd, bool forWrite, int ms) = 0;
};

// The real clock: steady sleeps, poll() for descriptors.
class SystemClock final : public Clock {
  public:
    int64_t nowMs() override;
    void sleepMs(int ms) override;
    bool waitFd(int fd, bool forWrite, int ms) override;
};

// Test clock: time moves only when something waits. waitFd looks once without blocking
// and, when nothing is there, lets the whole wait pass in virtual time.
class VirtualClock final : public Clock {
  public:
    explicit VirtualClock(int64_t startMs = 1700000000000) : now_(startMs) {}
    int64_t nowMs() override { return now_; }
    void sleepMs(int ms) override;
    bool waitFd(int fd, bool forWrite, int ms) override;
    void advanceMs(int64_t ms) { now_ += ms; }
    void setMs(int64_t ms) { now_ = ms; }
    int64_t sleptMs() const { return slept_; }

  private:
    int64_t now_;
    int64_t slept_ = 0;
};

SystemClock& systemClock();

} // namespace getkelo
