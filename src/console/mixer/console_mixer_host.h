#pragma once
#include "console/mixer/mixer_host.h"

namespace getkelo {

class Console;
class ConsoleView;

// The mixer's view of the operator console: its device list and connection, its polling timer
// and scope choice, and its "Alle Sollwerte 0".
class ConsoleMixerHost final : public MixerHost {
  public:
    ConsoleMixerHost(Console& console, ConsoleView& view) : console_(console), view_(view) {}

    DeviceList& devices() override;
    TTesra* connection() override;
    void stopTimer() override;
    void startTimer() override;
    void lockPollAll(bool locked) override;
    void allSetpointsZero() override;

  private:
    Console& console_;
    ConsoleView& view_;
};

} // namespace getkelo
