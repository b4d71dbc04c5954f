#include "cli/stop_signals.h"

#include <csignal>

namespace getkelo::cli {
namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void requestStop(int signal) {
    stopSignal = signal;
}

struct sigaction oldInt {
}, oldTerm{};

} // namespace

StopSignals::StopSignals() {
    stopSignal = 0;
    struct sigaction sa {};
    sa.sa_handler = requestStop;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &oldInt);
    sigaction(SIGTERM, &sa, &oldTerm);
}

StopSignals::~StopSignals() {
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
}

int StopSignals::received() {
    return stopSignal;
}

} // namespace getkelo::cli
