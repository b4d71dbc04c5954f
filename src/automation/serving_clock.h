#pragma once
#include "base/clock.h"

namespace getkelo {

class AutomationServer;

// The console's clock while it serves the automation socket. The console's thread spends
// most of a tick waiting (the pause after every read, the answer waits); this clock spends
// those waits on the socket, so a script's `values` or `list` is answered at once instead of
// after the tick. Only the server's pump runs there: never a bus exchange, never a UI event.
class ServingClock final : public Clock {
  public:
    explicit ServingClock(Clock& base) : base_(base) {}
    void setServer(AutomationServer* server) { server_ = server; }

    int64_t nowMs() override { return base_.nowMs(); }
    void sleepMs(int ms) override;
    bool waitFd(int fd, bool forWrite, int ms) override;

  private:
    Clock& base_;
    AutomationServer* server_ = nullptr;
};

} // namespace getkelo
