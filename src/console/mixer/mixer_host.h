#pragma once

namespace getkelo {

class DeviceList;
class TTesra;

// What the mixer needs of the console around it. The console program wires it to the Console;
// tests use a small fake.
class MixerHost {
  public:
    virtual ~MixerHost() = default;
    virtual DeviceList& devices() = 0;
    // The one device connection; null before start-up.
    virtual TTesra* connection() = 0;
    virtual void stopTimer() = 0;
    virtual void startTimer() = 0;
    // Mixing on: polling scope "Alle Geräte simultan", choice locked. Off: choice unlocked.
    virtual void lockPollAll(bool locked) = 0;
    // The console's "Alle Sollwerte 0".
    virtual void allSetpointsZero() = 0;
};

} // namespace getkelo
