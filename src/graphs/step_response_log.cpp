#include "graphs/step_response_log.h"

#include <cmath>

namespace getkelo {

bool StepResponseLog::feed(int64_t tMs, double setpoint, double measured,
                           const TuningInForce& tuning) {
    bool changed = false;
    const double threshold = std::fabs(fullScale_) * 0.01;
    if (havePrevious_ && std::fabs(setpoint - prevSetpoint_) > threshold) {
        if (open_) update(true);
        StepRecord r;
        r.from = prevSetpoint_;
        r.to = setpoint;
        r.startMs = prevMs_;
        r.tuning = tuning;
        steps_.push_front(r);
        if (steps_.size() > kKept) steps_.pop_back();
        points_.assign(1, TimedValue{prevMs_, prevMeasured_});
        open_ = true;
        changed = true;
    }
    if (open_) {
        points_.push_back({tMs, measured});
        const bool timeUp = tMs - steps_.front().startMs >= kWatchMs;
        update(timeUp);
        changed = true;
    }
    havePrevious_ = true;
    prevMs_ = tMs;
    prevSetpoint_ = setpoint;
    prevMeasured_ = measured;
    return changed;
}

void StepResponseLog::update(bool closing) {
    StepRecord& r = steps_.front();
    r.figures = stepFigures(points_, r.startMs, r.from, r.to, kHoldMs);
    if (closing || r.figures.settlingS) {
        r.final = true;
        open_ = false;
        points_.clear();
    }
}

void StepResponseLog::clear() {
    steps_.clear();
    points_.clear();
    open_ = false;
    havePrevious_ = false;
}

} // namespace getkelo
