#include "comm/bus_monitor.h"

#include "base/ini_file.h"
#include "comm/bus_decoder.h"
#include "comm/tcomm.h"
#include "ui/ui_adapter.h"

namespace getkelo {

BusMonitor::BusMonitor(TComm& comm, size_t capacity) : comm_(comm), capacity_(capacity) {}

BusMonitor::~BusMonitor() {
    attach(false);
}

void BusMonitor::attach(bool on) {
    if (on) {
        if (!recorder_) recorder_ = std::make_unique<BusRecorder>(capacity_);
        comm_.setBusObserver(recorder_.get());
    } else if (recorder_ && comm_.busObserver() == recorder_.get()) {
        comm_.setBusObserver(nullptr);
    }
}

void BusMonitor::open() {
    open_ = true;
    attach(!paused_);
}

void BusMonitor::close() {
    open_ = false;
    attach(false);
}

void BusMonitor::setPaused(bool paused) {
    paused_ = paused;
    attach(open_ && !paused_);
}

void BusMonitor::setSlaveFilter(int slave) {
    if (slave != slave_) needsReset_ = true;
    slave_ = slave;
}

void BusMonitor::setFailuresOnly(bool on) {
    if (on != failuresOnly_) needsReset_ = true;
    failuresOnly_ = on;
}

void BusMonitor::clear() {
    if (recorder_) recorder_->clear();
    needsReset_ = true;
}

const FrameRecord* BusMonitor::rowFrame(int row) const {
    if (!recorder_ || row < 0 || row >= rowCount()) return nullptr;
    return recorder_->ring().find(rows_[static_cast<size_t>(row)]);
}

const FrameRecord* BusMonitor::frameBefore(const FrameRecord& f) const {
    return recorder_ ? recorder_->ring().find(f.seq - 1) : nullptr;
}

std::string BusMonitor::rowLine(int row) const {
    const FrameRecord* f = rowFrame(row);
    return f ? frameLine(*f, frameBefore(*f)) : std::string();
}

bool BusMonitor::passes(const FrameRecord& f) const {
    const FrameRecord* before = frameBefore(f);
    if (slave_ != 0 && frameSlave(f, before) != slave_) return false;
    if (!failuresOnly_) return true;
    if (frameFailed(f)) return true;
    // A request belongs to a failed transaction when its answer record failed.
    const FrameRecord* next = recorder_->ring().find(f.seq + 1);
    return f.direction == FrameDirection::Sent && next &&
           next->direction == FrameDirection::Received && frameFailed(*next);
}

BusMonitor::Change BusMonitor::refresh() {
    Change change;
    if (!recorder_) return change;
    const FrameRing& ring = recorder_->ring();
    if (needsReset_ || scanned_ > ring.nextSeq()) {
        needsReset_ = false;
        rows_.clear();
        scanned_ = ring.firstSeq();
        change.reset = true;
    }
    while (!rows_.empty() && rows_.front() < ring.firstSeq()) {
        rows_.pop_front();
        ++change.removedFront;
    }
    if (scanned_ < ring.firstSeq()) scanned_ = ring.firstSeq();
    uint64_t end = ring.nextSeq();
    // A request whose answer has not been recorded yet is looked at by the next refresh.
    const FrameRecord* last = ring.last();
    if (last && last->direction == FrameDirection::Sent && last->result < 0 &&
        frameSlave(*last, nullptr) >= 0)
        end = last->seq;
    for (uint64_t s = scanned_; s < end; ++s) {
        if (passes(*ring.find(s))) {
            rows_.push_back(s);
            ++change.added;
        }
    }
    scanned_ = end;
    return change;
}

bool BusMonitor::save(const std::string& path, std::string& error) const {
    std::string text;
    for (int r = 0; r < rowCount(); ++r) {
        std::string line = rowLine(r);
        if (line.empty()) continue;
        text += line;
        text += '\n';
    }
    return writeFileAtomically(path, text, &error);
}

void BusMonitor::saveAs(UiAdapter& ui, const std::string& caption, const std::string& start,
                        const std::string& errorText) const {
    auto path = ui.chooseFile(caption, start, "Text (*.txt)|*.txt|*.*|*.*", true);
    if (!path) return;
    std::string error;
    if (!save(*path, error))
        ui.messageBox(errorText + " " + *path + ": " + error, caption, MsgIcon::Error);
}

} // namespace getkelo
