#include "automation/serving_clock.h"

#include "automation/automation_server.h"

namespace getkelo {

void ServingClock::sleepMs(int ms) {
    if (!server_ || server_->pumping() || server_->pollFd() < 0) {
        base_.sleepMs(ms);
        return;
    }
    const int64_t end = base_.nowMs() + ms;
    for (int64_t left = ms; left > 0; left = end - base_.nowMs()) {
        if (base_.waitFd(server_->pollFd(), false, static_cast<int>(left))) server_->pump();
    }
}

bool ServingClock::waitFd(int fd, bool forWrite, int ms) {
    // Answer waits are short (10 ms at a time): the socket is served between them.
    if (server_ && !server_->pumping()) server_->pump();
    return base_.waitFd(fd, forWrite, ms);
}

} // namespace getkelo
