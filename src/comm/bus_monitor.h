#pragma once
#include "comm/bus_recorder.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace getkelo {

class TComm;
class UiAdapter;

// The traffic monitor's logic: records while it is open and not paused (nothing at all
// while closed), and keeps the rows that pass its filters, by slave address and by result
// (failed transactions only), for a view that refreshes on a timer.
class BusMonitor {
  public:
    explicit BusMonitor(TComm& comm, size_t capacity = kMonitorFrames);
    ~BusMonitor();
    BusMonitor(const BusMonitor&) = delete;
    BusMonitor& operator=(const BusMonitor&) = delete;

    // Open: records from now on (unless paused); the ring is allocated on the first open.
    void open();
    void close();
    bool isOpen() const { return open_; }
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    bool recording() const { return open_ && !paused_; }

    // 0 shows every frame; 1..247 only the frames of that slave's transactions.
    void setSlaveFilter(int slave);
    int slaveFilter() const { return slave_; }
    // Only the request and answer of transactions that failed.
    void setFailuresOnly(bool on);
    bool failuresOnly() const { return failuresOnly_; }
    void clear();

    // What a refresh changed, for the view: rows dropped at the front (their frames left
    // the ring) and rows added at the end; `reset` when everything must be shown anew.
    struct Change {
        int removedFront = 0;
        int added = 0;
        bool reset = false;
        bool any() const { return removedFront || added || reset; }
    };
    Change refresh();

    int rowCount() const { return static_cast<int>(rows_.size()); }
    // The frame of a row and the one before it (its request, for an answer). The frame is
    // nullptr only when it left the ring since the last refresh.
    const FrameRecord* rowFrame(int row) const;
    const FrameRecord* frameBefore(const FrameRecord& f) const;
    std::string rowLine(int row) const;

    // Writes the rows shown, one line each, to a text file; false with a reason.
    bool save(const std::string& path, std::string& error) const;
    // Asks for the file (caption, start folder) and saves; a failed write is shown as
    // errorText followed by the reason.
    void saveAs(UiAdapter& ui, const std::string& caption, const std::string& start,
                const std::string& errorText) const;

    const BusRecorder* recorder() const { return recorder_.get(); }

  private:
    void attach(bool on);
    bool passes(const FrameRecord& f) const;

    TComm& comm_;
    size_t capacity_;
    std::unique_ptr<BusRecorder> recorder_;
    std::deque<uint64_t> rows_;
    uint64_t scanned_ = 1; // next sequence number to look at
    int slave_ = 0;
    bool failuresOnly_ = false;
    bool open_ = false;
    bool paused_ = false;
    bool needsReset_ = false;
};

} // namespace getkelo
