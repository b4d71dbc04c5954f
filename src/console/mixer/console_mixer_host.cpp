#include "console/mixer/console_mixer_host.h"

#include "console/console.h"

namespace getkelo {

DeviceList& ConsoleMixerHost::devices() {
    return console_.devices();
}
TTesra* ConsoleMixerHost::connection() {
    return console_.connection();
}
void ConsoleMixerHost::stopTimer() {
    view_.stopTimer();
}
void ConsoleMixerHost::startTimer() {
    view_.startTimer();
}

void ConsoleMixerHost::lockPollAll(bool locked) {
    if (locked) {
        console_.setPollAll(true);
        view_.setPollingScope(true);
    }
    view_.setControlEnabled(ConsoleControl::PollingScope, !locked);
}

void ConsoleMixerHost::allSetpointsZero() {
    console_.SollNullClick();
}

} // namespace getkelo
