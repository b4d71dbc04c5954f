#pragma once
#include "console/console_view.h"

#include <string>

namespace getkelo {

// The pieces of the polling tick that belong to the logger, the alarm page, the mixer and the
// zoom windows. The console calls them at fixed points of its tick; a hook that is not set is
// skipped. All calls come from the user-interface thread, inside the tick (timer off).

// The data logger.
class LogHook {
  public:
    virtual ~LogHook() = default;
    // The record button is down.
    virtual bool running() const = 0;
    // Once per tick while running, before the device loop: advances the line schedule (start,
    // stop and file-split conditions included); true when a line is due in this tick.
    virtual bool scheduleStep() = 0;
    // After a good poll of a marked row while a line is due: appends that row's line.
    virtual void writeLine(int row) = 0;
    // A row was removed from the device list; the rows below moved up one.
    virtual void rowRemoved(int row) = 0;
    // Start (restored record button at start-up) and stop (scan start, no marked device).
    virtual void start() = 0;
    virtual void stop() = 0;
    // Stop because a line was due and no marked device was polled (the operator was told).
    virtual void stopNoDevice() { stop(); }
};

// The alarm lamps.
class AlarmHook {
  public:
    virtual ~AlarmHook() = default;
    // Once per tick when the flow graph is not showing: reads and shows the alarm state of the
    // device in this row (the connection's Address already points at it).
    virtual void refresh(int row) = 0;
    // A device was selected while this page was in front: the signal or alarm page reads the
    // device again.
    virtual void deviceSelected(int row, ConsolePage front) {}
};

// The gas mixer.
class MixerHook {
  public:
    virtual ~MixerHook() = default;
    // "Mischen" is down.
    virtual bool mixing() const = 0;
    // Once per tick after the device loop while mixing: one step of every active mixer.
    virtual void step() = 0;
    // A row's mixer mark (column 12) was toggled on the mixer page: rebuild the composition.
    virtual void marksChanged(int row) = 0;
    // The scan starts: mixing ends ("Mischen" released).
    virtual void stop() = 0;
    // A row was removed from the device list; the rows below moved up one.
    virtual void rowRemoved(int row) = 0;
};

// The per-row zoom windows of the flow graph.
class ZoomHook {
  public:
    virtual ~ZoomHook() = default;
    // After a good poll: the row's flow text and unit, for its zoom window if one is open.
    virtual void showFlow(int row, const std::string& flow, const std::string& unit) = 0;
    virtual void rowRemoved(int row) = 0;
};

// Requests of other programs that share the console's bus (the automation socket). The tick
// gives them their turns between its own exchanges, so the bus keeps one exchange at a time.
class RequestHook {
  public:
    virtual ~RequestHook() = default;
    // At the start of every tick, before the scan, setpoint or polling steps: the requests
    // that wait, including those that change the console's state (the data logger).
    virtual void serveAtTickStart() = 0;
    // After each polled row: the bus requests that wait. The connection's Address is theirs
    // to change; the tick sets it again before its next exchange.
    virtual void serveBetweenExchanges() = 0;
    // A row was polled with this transaction result (0 good).
    virtual void rowPolled(int row, int result) = 0;
    // The end of a tick that polled (the tick-done flag was set).
    virtual void tickDone() = 0;
};

// Set at the end of every polling tick; the graph windows sample only when they find it set,
// and clear it.
class TickDoneFlag {
  public:
    void set() { done_ = true; }
    // True when set since the last call; clears it.
    bool take() {
        bool d = done_;
        done_ = false;
        return d;
    }
    bool peek() const { return done_; }

  private:
    bool done_ = false;
};

} // namespace getkelo
