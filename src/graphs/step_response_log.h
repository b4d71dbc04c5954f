#pragma once
#include "graphs/step_response.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace getkelo {

// The tuning values in force when a step began, for comparing steps.
struct TuningInForce {
    double P = 0, I = 0, D = 0;
};

struct StepRecord {
    double from = 0, to = 0;
    int64_t startMs = 0;
    TuningInForce tuning;
    StepFigures figures;
    // False while the step is still being watched: the settling time is not known yet.
    bool final = false;
};

// Watches the plotted samples for set-point steps and keeps the figures of the last five,
// newest first. A step is a change of the set point by more than 1 % of full scale; it is
// measured from the last sample before the new set point. Its figures are final when the
// response has stayed in the band for kHoldMs, when the next step comes, or after kWatchMs.
class StepResponseLog {
  public:
    static constexpr size_t kKept = 5;
    static constexpr int64_t kHoldMs = 2000;
    static constexpr int64_t kWatchMs = 60000;

    // Full scale of the set point, for the smallest step that counts.
    void setFullScale(double fullScale) { fullScale_ = fullScale; }
    // One plotted sample. True when the table changed.
    bool feed(int64_t tMs, double setpoint, double measured, const TuningInForce& tuning);
    void clear();

    const std::deque<StepRecord>& steps() const { return steps_; }

  private:
    void update(bool closing);

    double fullScale_ = 100;
    std::deque<StepRecord> steps_;
    std::vector<TimedValue> points_; // of the open step (steps_.front() when !final)
    bool open_ = false;
    bool havePrevious_ = false;
    int64_t prevMs_ = 0;
    double prevSetpoint_ = 0, prevMeasured_ = 0;
};

} // namespace getkelo
