#pragma once
#include "base/date_time.h"

#include <cstdint>
#include <string>

namespace getkelo {

// The data points chosen besides the flow, in column order.
struct LogPoints {
    bool setpoint = false;
    bool total = false;
    bool temperature = false;
    bool valve = false;
};

// One device's values for a data line, as the polling left them.
struct LogValues {
    std::string flow; // as polled
    float setpoint = 0;
    std::string total;       // as polled
    std::string temperature; // "0.##" as polled
    float valve = 0;
};

// One device's measurement log: a text file of ";"-separated lines ending in CR LF,
// Windows-1252 on disk. Every line goes to the system in one write as soon as it is complete,
// and the file is synced to the disk at least every kSyncIntervalMs and when it is closed, so
// a crash or power loss costs at most the last few seconds and never a line's middle.
class LogFile {
  public:
    // What went wrong last; the detail names the file and the system's reason.
    enum class Failure { None, Directory, Create, Write };
    static const char* failureText(Failure kind);

    static constexpr int64_t kSyncIntervalMs = 2000;

    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // "<serial>_<yyMMdd>_<hhmmss>.log"; path separators in the serial become "_".
    static std::string fileName(const std::string& serial, const DateTime& opened);
    // The directory text may end in "/" or not; an empty directory is the current one.
    static std::string joinPath(const std::string& directory, const std::string& name);
    // Without the line end.
    static std::string headerLine(const std::string& flowUnit, const std::string& totalUnit,
                                  const LogPoints& points);
    static std::string dataLine(const DateTime& lineTime, const LogValues& values,
                                const LogPoints& points);

    // Creates the file in `directory` (made when missing) and writes the header. An existing
    // file is never overwritten: a name that is taken gets "_2", "_3" ... before ".log".
    // False with error() set when the file cannot be made or the header not written.
    bool create(const std::string& directory, const std::string& name, const std::string& header,
                int64_t nowMs);
    // Appends one line (UTF-8 here, Windows-1252 on disk) and CR LF; syncs when the last
    // sync is kSyncIntervalMs ago. False with error() set when the write failed.
    bool appendLine(const std::string& line, int64_t nowMs);
    // Syncs what was written since the last sync.
    bool sync();
    // Syncs and closes; false when either failed.
    bool close();

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }
    Failure failure() const { return failure_; }
    const std::string& failureDetail() const { return detail_; }
    int64_t linesWritten() const { return lines_; }

  private:
    bool writeAll(const std::string& bytes);
    void fail(Failure kind, int err);

    int fd_ = -1;
    std::string path_;
    std::string error_;
    Failure failure_ = Failure::None;
    std::string detail_;
    int64_t lastSyncMs_ = 0;
    bool unsynced_ = false;
    int64_t lines_ = 0;
};

} // namespace getkelo
