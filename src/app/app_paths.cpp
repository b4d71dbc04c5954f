#include "app/app_paths.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace getkelo {

std::string withSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

static bool makeDirs(const std::string& path) {
    std::string part;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || (path[i] == '/' && i > 0)) {
            part = path.substr(0, i);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
    }
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string settingsFolder(const std::string& given, const std::string& name) {
    std::string dir = given;
    if (dir.empty()) {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        if (xdg && *xdg == '/') {
            dir = withSlash(xdg) + name;
        } else {
            const char* home = std::getenv("HOME");
            dir = withSlash(home && *home ? home : ".") + ".config/" + name;
        }
    }
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (!makeDirs(dir)) return {};
    return withSlash(dir);
}

static bool hasLanguageFiles(const std::string& dir) {
    return access((withSlash(dir) + "Deutsch.lng").c_str(), R_OK) == 0;
}

std::string dataFolder(const std::string& executableDir, const std::string& buildFallback) {
    const std::string installed = withSlash(executableDir) + "../share/getkelo";
    if (hasLanguageFiles(installed)) return withSlash(installed);
    return withSlash(buildFallback);
}

} // namespace getkelo
