#pragma once

namespace getkelo::cli {

// While one exists, SIGINT and SIGTERM only ask the running command to stop, so that it can
// close its files and lock the devices again; the handlers before it come back afterwards.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // 0, or the signal that asked to stop.
    static int received();
};

} // namespace getkelo::cli
