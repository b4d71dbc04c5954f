#include "graphs/sample_window.h"

namespace getkelo {

bool SampleWindow::append(const Sample& s) {
    bool dropped = false;
    if (samples_.size() >= kMaxSamples) {
        samples_.pop_front();
        ++firstSeq_;
        for (int k = 0; k < kSeriesCount; ++k) {
            if (!mins_[k].empty() && mins_[k].front().seq < firstSeq_) mins_[k].pop_front();
            if (!maxs_[k].empty() && maxs_[k].front().seq < firstSeq_) maxs_[k].pop_front();
        }
        dropped = true;
    }
    const uint64_t seq = nextSeq_++;
    samples_.push_back(s);
    for (int k = 0; k < kSeriesCount; ++k) {
        const double v = s.y[k];
        while (!mins_[k].empty() && mins_[k].back().value >= v)
            mins_[k].pop_back();
        mins_[k].push_back({seq, v});
        while (!maxs_[k].empty() && maxs_[k].back().value <= v)
            maxs_[k].pop_back();
        maxs_[k].push_back({seq, v});
    }
    return dropped;
}

void SampleWindow::clear() {
    samples_.clear();
    for (int k = 0; k < kSeriesCount; ++k) {
        mins_[k].clear();
        maxs_[k].clear();
    }
    firstSeq_ = nextSeq_;
}

double SampleWindow::minOf(int series) const {
    return mins_[series].empty() ? 0 : mins_[series].front().value;
}

double SampleWindow::maxOf(int series) const {
    return maxs_[series].empty() ? 0 : maxs_[series].front().value;
}

} // namespace getkelo
