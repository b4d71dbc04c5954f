#include "base/clock.h"

#include <chrono>
#include <poll.h>
#include <thread>

namespace getkelo {

int64_t SystemClock::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void SystemClock::sleepMs(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool SystemClock::waitFd(int fd, bool forWrite, int ms) {
    if (fd < 0) {
        sleepMs(ms);
        return false;
    }
    pollfd p{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    int r = ::poll(&p, 1, ms < 0 ? 0 : ms);
    if (r < 0) return false;
    // Hang-ups and errors count as ready: the following read reports them at once.
    return r > 0;
}

void VirtualClock::sleepMs(int ms) {
    if (ms <= 0) return;
    now_ += ms;
    slept_ += ms;
}

bool VirtualClock::waitFd(int fd, bool forWrite, int ms) {
    if (fd >= 0) {
        pollfd p{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
        if (::poll(&p, 1, 0) > 0) return true;
    }
    sleepMs(ms);
    return false;
}

SystemClock& systemClock() {
    static SystemClock clock;
    return clock;
}

} // namespace getkelo
