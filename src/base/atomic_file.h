#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace getkelo {

// Whole-file reads and writes of settings and data files, safe against what else may stand
// at a path: only regular files are read (a FIFO or a device is refused at once, never waited
// on), and never more than a size limit; a symbolic link is followed and its target is what
// gets replaced.

constexpr size_t kMaxSettingsFileBytes = 16u << 20;

enum class FileRead { Ok, Missing, Refused };

// Reads a regular file of at most `maxBytes`. Refused (with the reason in `error`) for
// anything else; Missing when nothing is there.
FileRead readRegularFile(const std::string& path, size_t maxBytes, std::string& bytes,
                         std::string& error);

// Writes a whole file atomically (temporary file in the target's folder, fsync, rename, fsync
// of the folder). A symbolic link is followed and its final target replaced; anything at the
// target that is not a regular file is refused and left as it is.
bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error);

// The final target of a chain of symbolic links (the path itself when it is none).
std::string followLinks(const std::string& path);

// Removes temporary files of our own naming ("<name>.tmpXXXXXX") that a killed save left
// beside `path`. A temporary file that a live save still holds is kept.
void removeStaleTemporaries(const std::string& path);

// What tells one version of a file from another: a replaced file has a new inode, and every
// write of this process counts up a number of its own, so a same-size rewrite within one tick
// of the file system's clock is still seen.
struct FileIdentity {
    bool exists = false;
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modified = 0, changed = 0; // nanoseconds
    uint64_t localWrites = 0;
    bool operator==(const FileIdentity&) const = default;
};
FileIdentity fileIdentity(const std::string& path);

} // namespace getkelo
