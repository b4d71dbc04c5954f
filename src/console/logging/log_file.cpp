#include "console/logging/log_file.h"

#include "base/cp1252.h"
#include "base/number_format.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace getkelo {
namespace {

// Makes every missing folder of `dir` (like mkdir -p); false with errno set on failure.
bool makeDirectories(const std::string& dir) {
    if (dir.empty()) return true;
    std::string partial;
    size_t pos = 0;
    while (pos <= dir.size()) {
        size_t next = dir.find('/', pos);
        if (next == std::string::npos) next = dir.size();
        partial = dir.substr(0, next);
        if (!partial.empty() && ::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        pos = next + 1;
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

// The new file's name reaches the disk with its folder, so a crash cannot lose the file.
void syncDirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

LogFile::~LogFile() {
    close();
}

std::string LogFile::fileName(const std::string& serial, const DateTime& t) {
    std::string safe = serial;
    for (char& c : safe)
        if (c == '/' || c == '\\' || c == '\0') c = '_';
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "_%02d%02d%02d_%02d%02d%02d.log", (t.year - 2000) % 100,
                  t.month, t.day, t.hour, t.minute, t.second);
    return safe + stamp;
}

std::string LogFile::joinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    if (directory.back() == '/') return directory + name;
    return directory + "/" + name;
}

std::string LogFile::headerLine(const std::string& flowUnit, const std::string& totalUnit,
                                const LogPoints& p) {
    std::string h = "Timestamp;Flow [" + flowUnit;
    if (p.setpoint) h += "];Set [" + flowUnit;
    if (p.total) h += "];Total [" + totalUnit;
    if (p.temperature) h += "];Temp [°C";
    if (p.valve) h += "];Valve [%";
    h += "]";
    return h;
}

std::string LogFile::dataLine(const DateTime& lineTime, const LogValues& v, const LogPoints& p) {
    std::string line = formatDateTime("dd.MM.yy hh:mm:ss.zzz", lineTime);
    line += ';';
    line += v.flow;
    if (p.setpoint) {
        line += ';';
        line += formatGeneral(v.setpoint, 7);
    }
    if (p.total) {
        line += ';';
        line += v.total;
    }
    if (p.temperature) {
        line += ';';
        line += v.temperature;
    }
    if (p.valve) {
        line += ';';
        line += formatFixedMax(v.valve, 2);
    }
    return line;
}

const char* LogFile::failureText(Failure kind) {
    static const char* const kWhat[] = {"", "Verzeichnis nicht verfügbar",
                                        "Datei kann nicht angelegt werden", "Schreibfehler in"};
    return kWhat[static_cast<int>(kind)];
}

void LogFile::fail(Failure kind, int err) {
    failure_ = kind;
    detail_ = "\"" + path_ + "\": " + std::strerror(err);
    error_ = std::string(failureText(kind)) + " " + detail_;
}

bool LogFile::create(const std::string& directory, const std::string& name,
                     const std::string& header, int64_t nowMs) {
    close();
    error_.clear();
    failure_ = Failure::None;
    detail_.clear();
    lines_ = 0;
    path_ = joinPath(directory, name);
    if (!makeDirectories(directory)) {
        fail(Failure::Directory, errno);
        return false;
    }
    const std::string base =
        name.size() > 4 && name.ends_with(".log") ? name.substr(0, name.size() - 4) : name;
    for (int n = 1; n < 100; ++n) {
        path_ = joinPath(directory, n == 1 ? name : base + "_" + std::to_string(n) + ".log");
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
        if (fd_ >= 0 || errno != EEXIST) break;
    }
    if (fd_ < 0) {
        fail(Failure::Create, errno);
        return false;
    }
    lastSyncMs_ = nowMs;
    if (!writeAll(utf8ToCp1252(header) + "\r\n") || !sync()) return false;
    syncDirectoryOf(path_);
    return true;
}

bool LogFile::writeAll(const std::string& bytes) {
    if (fd_ < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(Failure::Write, errno);
            return false;
        }
        if (n == 0) {
            fail(Failure::Write, ENOSPC);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    unsynced_ = true;
    return true;
}

bool LogFile::appendLine(const std::string& line, int64_t nowMs) {
    if (fd_ < 0) return false;
    if (!writeAll(utf8ToCp1252(line) + "\r\n")) return false;
    ++lines_;
    if (nowMs - lastSyncMs_ >= kSyncIntervalMs || nowMs < lastSyncMs_) {
        lastSyncMs_ = nowMs;
        return sync();
    }
    return true;
}

bool LogFile::sync() {
    if (fd_ < 0) return false;
    if (!unsynced_) return true;
    if (::fdatasync(fd_) != 0 && errno != EINVAL) {
        fail(Failure::Write, errno);
        return false;
    }
    unsynced_ = false;
    return true;
}

bool LogFile::close() {
    if (fd_ < 0) return true;
    bool ok = sync();
    if (::close(fd_) != 0 && ok) {
        fail(Failure::Write, errno);
        ok = false;
    }
    fd_ = -1;
    return ok;
}

} // namespace getkelo
