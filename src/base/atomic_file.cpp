#include "base/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace getkelo {
namespace {

constexpr const char* kTempInfix = ".tmp";
constexpr size_t kTempSuffixLength = 6; // mkstemp's XXXXXX

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes of this process per file, so that two objects on one file see each other's saves
// whatever the file system's clock granularity.
std::mutex writesMutex;
std::map<std::string, uint64_t>& localWriteCounts() {
    static std::map<std::string, uint64_t> counts;
    return counts;
}

// One key per file however the path is spelled ("GetKelo.ini", "./GetKelo.ini"); looked up
// once per spelling, as reads ask for it often. Call with writesMutex held.
std::string canonicalKey(const std::string& target) {
    static std::map<std::string, std::string> keys;
    auto it = keys.find(target);
    if (it != keys.end()) return it->second;
    char buf[PATH_MAX];
    if (!::realpath(folderOf(target).c_str(), buf)) return target; // no folder (yet)
    return keys.emplace(target, std::string(buf) + "/" + nameOf(target)).first->second;
}

uint64_t localWritesOf(const std::string& target) {
    std::lock_guard<std::mutex> lock(writesMutex);
    auto it = localWriteCounts().find(canonicalKey(target));
    return it == localWriteCounts().end() ? 0 : it->second;
}

void countLocalWrite(const std::string& target) {
    std::lock_guard<std::mutex> lock(writesMutex);
    ++localWriteCounts()[canonicalKey(target)];
}

std::string describe(const struct stat& st) {
    if (S_ISFIFO(st.st_mode)) return "a pipe";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "a device";
    if (S_ISDIR(st.st_mode)) return "a folder";
    if (S_ISSOCK(st.st_mode)) return "a socket";
    return "not a regular file";
}

bool isOurTemporary(const std::string& entry, const std::string& base) {
    const std::string prefix = base + kTempInfix;
    if (entry.size() != prefix.size() + kTempSuffixLength ||
        entry.compare(0, prefix.size(), prefix))
        return false;
    for (size_t i = prefix.size(); i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

} // namespace

std::string followLinks(const std::string& path) {
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::vector<char> buf(PATH_MAX + 1);
        ssize_t n = ::readlink(p.c_str(), buf.data(), PATH_MAX);
        if (n <= 0) return p;
        std::string target(buf.data(), static_cast<size_t>(n));
        p = target.front() == '/' ? target : folderOf(p) + "/" + target;
    }
    return p; // a loop: the write fails on it with the system's reason
}

FileRead readRegularFile(const std::string& path, size_t maxBytes, std::string& bytes,
                         std::string& error) {
    bytes.clear();
    error.clear();
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return FileRead::Missing;
        error = "\"" + path + "\": " + std::strerror(errno);
        return FileRead::Refused;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "\"" + path + "\" is " + describe(st) + ", not a settings file";
        ::close(fd);
        return FileRead::Refused;
    }
    auto tooLarge = [&] {
        error = "\"" + path + "\" is larger than " + std::to_string(maxBytes >> 20) + " MB";
        ::close(fd);
        bytes.clear();
        return FileRead::Refused;
    };
    if (static_cast<uint64_t>(st.st_size) > maxBytes) return tooLarge();
    bytes.reserve(static_cast<size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = "\"" + path + "\": " + std::strerror(errno);
            ::close(fd);
            return FileRead::Refused;
        }
        if (n == 0) break;
        bytes.append(chunk, static_cast<size_t>(n));
        if (bytes.size() > maxBytes) return tooLarge(); // it grew while we read
    }
    ::close(fd);
    return FileRead::Ok;
}

bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
    const std::string target = followLinks(path);
    auto fail = [&](const std::string& what) {
        if (error) *error = what + " \"" + target + "\": " + std::strerror(errno);
        return false;
    };
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        if (error) *error = "\"" + target + "\" is " + describe(st) + ": not replaced";
        return false;
    }
    const std::string tmpl = target + kTempInfix + "XXXXXX";
    std::vector<char> name;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 3; ++attempt) {
        name.assign(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) return fail("cannot create a temporary file for");
        // Held until the rename: it tells a clean-up at open that this save is alive. A
        // clean-up that came between creating and locking has removed the file: take another.
        struct stat own {};
        if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &own) != 0 || own.st_nlink == 0) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) return fail("cannot hold a temporary file for");
    auto abandon = [&](const char* what) {
        int e = errno;
        ::close(fd);
        ::unlink(name.data());
        errno = e;
        return fail(what);
    };
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            return abandon("cannot write");
        }
        done += static_cast<size_t>(w);
    }
    // Keep the permissions of the file being replaced.
    ::fchmod(fd, exists ? (st.st_mode & 07777) : 0644);
    if (::fsync(fd) != 0) return abandon("cannot sync");
    if (::rename(name.data(), target.c_str()) != 0) return abandon("cannot replace");
    ::close(fd);
    countLocalWrite(target);
    int dfd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    if (error) error->clear();
    return true;
}

void removeStaleTemporaries(const std::string& path) {
    const std::string target = followLinks(path);
    const std::string folder = folderOf(target), base = nameOf(target);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> stale;
    while (dirent* e = ::readdir(dir))
        if (isOurTemporary(e->d_name, base)) stale.push_back(folder + "/" + e->d_name);
    ::closedir(dir);
    for (const std::string& p : stale) {
        int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        // Only our own regular files, and only when no live save holds them.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(p.c_str());
        ::close(fd);
    }
}

FileIdentity fileIdentity(const std::string& path) {
    FileIdentity id;
    const std::string target = followLinks(path);
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return id;
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = static_cast<uint64_t>(st.st_size);
    id.modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.changed = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    id.localWrites = localWritesOf(target);
    return id;
}

} // namespace getkelo
