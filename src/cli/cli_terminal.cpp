#include "cli/cli_terminal.h"

#include "cli/cli_context.h"

namespace getkelo::cli {

namespace {

volatile std::sig_atomic_t stopRequested = 0;
extern "C" void requestStop(int) {
    stopRequested = 1;
}

} // namespace

MsgAnswer TerminalUi::messageBox(const std::string& text, const std::string&, MsgIcon, MsgButtons) {
    std::string oneLine = text;
    for (char& c : oneLine)
        if (c == '\n') c = ' ';
    printError(tag_ + ": " + oneLine);
    return MsgAnswer::Ok;
}

StopSignals::StopSignals() {
    stopRequested = 0;
    struct sigaction sa {};
    // No SA_RESTART: a wait in progress ends early, so the stop is seen at once.
    sa.sa_handler = requestStop;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &oldInt_);
    sigaction(SIGTERM, &sa, &oldTerm_);
}

StopSignals::~StopSignals() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
}

bool StopSignals::requested() {
    return stopRequested != 0;
}

} // namespace getkelo::cli
