#include "console/logging/data_logger.h"

#include "base/clock.h"
#include "console/device_list.h"
#include "ui/ui_adapter.h"

#include <algorithm>

namespace getkelo {
namespace {
constexpr const char* kCaption = "GetKelo";
}

DataLogger::DataLogger(DeviceList& devices, Clock& clock, UiAdapter& ui)
    : devices_(devices), clock_(clock), ui_(ui), files_(kMaxDevices + 1),
      failureReported_(kMaxDevices + 1, false) {}

DataLogger::~DataLogger() {
    closeFiles();
}

void DataLogger::notify() {
    if (changed_) changed_();
}

std::string DataLogger::filePath(int row) const {
    if (row < 0 || row >= static_cast<int>(files_.size()) || !files_[row] || !files_[row]->isOpen())
        return {};
    return files_[row]->path();
}

int DataLogger::openFileCount() const {
    return static_cast<int>(std::count_if(files_.begin(), files_.end(),
                                          [](const auto& f) { return f && f->isOpen(); }));
}

bool DataLogger::anyFileFailed() const {
    return std::find(failureReported_.begin(), failureReported_.end(), true) !=
           failureReported_.end();
}

void DataLogger::start() {
    if (running_) return;
    running_ = true;
    settings_.stored.log = true;
    lineDue_ = false;
    std::fill(failureReported_.begin(), failureReported_.end(), false);
    schedule_.begin(settings_, clock_.nowMs());
    openFiles();
    notify();
    if (stateSave_) stateSave_();
}

void DataLogger::stop() {
    if (!running_) return;
    running_ = false;
    settings_.stored.log = false;
    lineDue_ = false;
    closeFiles();
    notify();
    if (stateSave_) stateSave_();
}

void DataLogger::openFiles() {
    const DateTime opened = localDateTime(clock_.nowMs());
    const std::string dir = workDir_ ? workDir_() : std::string();
    const LogPoints points{settings_.stored.sollCheck, settings_.stored.totalCheck,
                           settings_.stored.tempCheck, settings_.stored.ventilCheck};
    std::vector<std::string> errors;
    for (int row = 1; row <= devices_.count(); ++row) {
        if (!devices_.marked(row, kColLogMark)) continue;
        auto file = std::make_unique<LogFile>();
        const std::string header = LogFile::headerLine(devices_.cell(row, kColUnit),
                                                       devices_.cell(row, kColTotalUnit), points);
        if (!file->create(dir, LogFile::fileName(devices_.cell(row, kColSerial), opened), header,
                          clock_.nowMs())) {
            if (!failureReported_[row]) errors.push_back(file->error());
            failureReported_[row] = true;
            file->close();
        }
        files_[row] = std::move(file);
    }
    reportFailures(errors);
}

void DataLogger::closeFiles() {
    std::vector<std::string> errors;
    for (size_t row = 0; row < files_.size(); ++row) {
        if (!files_[row]) continue;
        if (files_[row]->isOpen() && !files_[row]->close() && !failureReported_[row]) {
            failureReported_[row] = true;
            errors.push_back(files_[row]->error());
        }
        files_[row].reset();
    }
    reportFailures(errors);
}

void DataLogger::reportFailures(const std::vector<std::string>& errors) {
    if (errors.empty()) return;
    std::string text = "Messwerte können nicht aufgezeichnet werden:";
    for (const auto& e : errors)
        text += "\n" + e;
    ui_.messageBox(text, kCaption, MsgIcon::Warning, MsgButtons::Ok);
}

bool DataLogger::scheduleStep() {
    lineDue_ = false;
    if (!running_) return false;
    const bool startWasOn = settings_.start.enabled;
    LogStep step = schedule_.step(settings_, clock_.nowMs());
    if (step.stop) {
        stop();
        return false;
    }
    if (step.split) {
        closeFiles();
        openFiles();
        schedule_.filesOpened(settings_, clock_.nowMs());
    }
    if (startWasOn != settings_.start.enabled) notify();
    lineDue_ = step.lineDue;
    return lineDue_;
}

void DataLogger::writeLine(int row) {
    if (!running_ || !lineDue_) return;
    if (row < 1 || row >= static_cast<int>(files_.size())) return;
    LogFile* file = files_[row].get();
    if (!file || !file->isOpen()) return;
    const skelo& rec = devices_.record(row);
    LogValues values{devices_.cell(row, kColFlow), rec.setpoint, devices_.cell(row, kColTotal),
                     devices_.cell(row, kColTemperature), rec.valve};
    const LogPoints points{settings_.stored.sollCheck, settings_.stored.totalCheck,
                           settings_.stored.tempCheck, settings_.stored.ventilCheck};
    const std::string line =
        LogFile::dataLine(localDateTime(schedule_.lineTimeMs()), values, points);
    if (!file->appendLine(line, clock_.nowMs())) {
        // A file that failed once stays closed: the rest of this run's lines would be
        // missing from it anyway, and the operator has been told.
        if (!failureReported_[row]) {
            failureReported_[row] = true;
            reportFailures({file->error()});
        }
        file->close();
    }
}

void DataLogger::rowRemoved(int row) {
    if (row < 1 || row >= static_cast<int>(files_.size())) return;
    if (files_[row]) files_[row]->close();
    files_.erase(files_.begin() + row);
    files_.emplace_back();
    failureReported_.erase(failureReported_.begin() + row);
    failureReported_.push_back(false);
}

} // namespace getkelo
