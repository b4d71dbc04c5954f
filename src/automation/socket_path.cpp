#include "automation/socket_path.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace getkelo {

std::string automationSocketPath(const std::string& settingsDir, const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::string(runtime) + "/" + name + "/console.sock";
    std::string dir = settingsDir;
    if (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir + "/console.sock";
}

bool prepareSocketFolder(const std::string& socketPath, std::string& error) {
    const size_t slash = socketPath.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : socketPath.substr(0, slash);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        error = "cannot make " + dir + ": " + ec.message();
        return false;
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = dir + " is not a folder";
        return false;
    }
    if (st.st_uid != ::geteuid()) {
        error = dir + " belongs to another user";
        return false;
    }
    // Nobody else may even see the socket; it is this user's own folder.
    if ((st.st_mode & 0777) != 0700 && ::chmod(dir.c_str(), 0700) != 0) {
        error = "cannot make " + dir + " private: " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace getkelo
