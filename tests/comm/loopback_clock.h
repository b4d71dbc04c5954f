#pragma once
#include "base/clock.h"

#include <algorithm>
#include <poll.h>

namespace getkelo::test {

// For peers on real descriptors (a server thread, a pseudo-terminal): waits on a descriptor
// really wait (at most `capMs`), so bytes from the other thread are seen, while sleeps and
// timed-out waits pass in virtual time. Timeouts and reconnect intervals cost no real time.
class LoopbackClock final : public Clock {
  public:
    explicit LoopbackClock(int capMs = 10) : cap_(capMs) {}
    int64_t nowMs() override { return now_; }
    void sleepMs(int ms) override {
        if (ms > 0) now_ += ms;
    }
    bool waitFd(int fd, bool forWrite, int ms) override {
        pollfd p{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
        if (fd >= 0 && ::poll(&p, 1, std::clamp(ms, 0, cap_)) > 0) return true;
        sleepMs(ms);
        return false;
    }

  private:
    int cap_;
    int64_t now_ = 1700000000000;
};

} // namespace getkelo::test
