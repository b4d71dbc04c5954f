#include "base/make_folders.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace getkelo {

bool makeFolders(const std::string& dir, std::string* error) {
    std::string partial;
    size_t pos = 0;
    while (pos <= dir.size()) {
        size_t slash = dir.find('/', pos);
        if (slash == std::string::npos) slash = dir.size();
        partial = dir.substr(0, slash);
        pos = slash + 1;
        if (partial.empty()) continue; // the root of an absolute path
        struct stat st {};
        if (::stat(partial.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) continue;
            errno = ENOTDIR;
        } else if (::mkdir(partial.c_str(), 0777) == 0 || errno == EEXIST) {
            continue;
        }
        if (error) *error = "cannot create the folder \"" + partial + "\": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::string folderOfPath(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace getkelo
