#include "console/logging/data_logger.h"

#include "base/clock.h"
#include "console/device_list.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <algorithm>
#include <cstdio>

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

std::string DataLogger::msg(const char* key, const char* german) const {
    return texts_ ? textOr(*texts_, key, german) : std::string(german);
}

std::string DataLogger::deviceName(int row) const {
    if (row < 1 || row > devices_.count()) return {};
    return fillArgs(msg("DeviceName", "Gerät %1 (Adresse %2)"),
                    {devices_.cell(row, kColSerial), std::to_string(devices_.record(row).address)});
}

std::string DataLogger::failureText(const LogFile& file) const {
    static const char* const kKeys[] = {"", "LogErrDirectory", "LogErrCreate", "LogErrWrite"};
    return msg(kKeys[static_cast<int>(file.failure())], LogFile::failureText(file.failure())) +
           " " + file.failureDetail();
}

int64_t DataLogger::clockNowMs() const {
    return clock_.nowMs();
}

std::vector<std::string> DataLogger::openFilePaths() const {
    std::vector<std::string> out;
    for (const auto& f : files_)
        if (f && f->isOpen()) out.push_back(f->path());
    return out;
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

std::string DataLogger::startRefusal() const {
    int marked = 0;
    for (int row = 1; row <= devices_.count(); ++row)
        if (devices_.marked(row, kColLogMark)) ++marked;
    if (marked == 0) return msg("InfoNoLogDevice", "Kein Gerät für die Aufzeichnung markiert!");
    const int selected = devices_.selectedRow();
    if (pollAll_ && !pollAll_() && !devices_.marked(selected, kColLogMark))
        return fillArgs(
            msg("InfoNoLogSelected",
                "Abgefragt wird nur das ausgewählte Gerät, %1, und es ist nicht für die "
                "Aufzeichnung markiert. Markieren Sie es oder wählen Sie \"Alle Geräte "
                "simultan\"."),
            {deviceName(selected)});
    return {};
}

void DataLogger::start() {
    if (running_) return;
    if (const std::string why = startRefusal(); !why.empty()) {
        ui_.messageBox(why, kCaption, MsgIcon::Information, MsgButtons::Ok);
        settings_.stored.log = false;
        notify(); // the record button goes up again
        return;
    }
    running_ = true;
    settings_.stored.log = true;
    lineDue_ = false;
    linesWritten_ = 0;
    startedMs_ = clock_.nowMs();
    std::fill(failureReported_.begin(), failureReported_.end(), false);
    schedule_.begin(settings_, clock_.nowMs());
    openFiles();
    if (openFileCount() == 0) {
        // Not one file could be made (the operator has been told which and why): recording
        // nothing while showing "recording" would be worse than stopping.
        running_ = false;
        settings_.stored.log = false;
        closeFiles();
    }
    notify();
    if (stateSave_) stateSave_();
}

void DataLogger::stopNoDevice() {
    if (!running_) return;
    // Files that never got a line hold nothing but the header: they go.
    std::vector<std::string> empty;
    for (const auto& f : files_)
        if (f && f->isOpen() && f->linesWritten() == 0) empty.push_back(f->path());
    stop();
    for (const std::string& path : empty)
        std::remove(path.c_str());
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
            if (!failureReported_[row]) errors.push_back(failureText(*file));
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
            errors.push_back(failureText(*files_[row]));
        }
        files_[row].reset();
    }
    reportFailures(errors);
}

void DataLogger::reportFailures(const std::vector<std::string>& errors) {
    if (errors.empty()) return;
    std::string text = msg("LogCannotRecord", "Messwerte können nicht aufgezeichnet werden:");
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
    if (file->appendLine(line, clock_.nowMs())) {
        ++linesWritten_;
    } else {
        // A file that failed once stays closed: the rest of this run's lines would be
        // missing from it anyway, and the operator has been told.
        if (!failureReported_[row]) {
            failureReported_[row] = true;
            reportFailures({failureText(*file)});
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
