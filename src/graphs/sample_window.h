#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>

namespace getkelo {

// One plotted sample: the time of day and the three series (flow or pressure, set point,
// valve drive in %).
struct Sample {
    int64_t tMs = 0; // epoch milliseconds
    std::array<double, 3> y{};
};

inline constexpr int kSeriesCount = 3;
inline constexpr int kSeriesMeasured = 0;
inline constexpr int kSeriesSetpoint = 1;
inline constexpr int kSeriesValve = 2;

// The graph's sliding window: at most kMaxSamples samples; a sample arriving at a full window
// pushes the oldest out (so the 2001st removes the first). It also keeps the smallest and
// largest value of each series over the window in amortised constant time, so an axis can
// follow the data without scanning the whole window at every sample.
class SampleWindow {
  public:
    static constexpr size_t kMaxSamples = 2000;

    // True when the oldest sample went out to make room.
    bool append(const Sample& s);
    void clear();

    size_t size() const { return samples_.size(); }
    bool empty() const { return samples_.empty(); }
    const Sample& at(size_t i) const { return samples_[i]; }
    const Sample& front() const { return samples_.front(); }
    const Sample& back() const { return samples_.back(); }
    const std::deque<Sample>& samples() const { return samples_; }

    // Extent of one series over the window (0 when empty).
    double minOf(int series) const;
    double maxOf(int series) const;

  private:
    struct Entry {
        uint64_t seq;
        double value;
    };
    std::deque<Sample> samples_;
    // Monotonic queues: front is the extreme of the window.
    std::array<std::deque<Entry>, kSeriesCount> mins_, maxs_;
    uint64_t firstSeq_ = 0; // sequence number of samples_.front()
    uint64_t nextSeq_ = 0;
};

} // namespace getkelo
