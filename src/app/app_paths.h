#pragma once
#include <string>

namespace getkelo {

// Where the program keeps its settings and finds its data.
struct AppPaths {
    std::string configDir;  // folder of "GetKelo.ini", with a trailing "/"
    std::string programDir; // language files, flags, help, "Kontakt.txt", with a trailing "/"
    std::string homeDir;
};

// The settings folder: the one given, else $XDG_CONFIG_HOME/<name>, else ~/.config/<name>.
// The folder is created when missing. Empty when it cannot be made.
std::string settingsFolder(const std::string& given, const std::string& name);

// The data folder: <prefix>/share/getkelo beside an installed executable, else the source
// tree's data folder the build was made from.
std::string dataFolder(const std::string& executableDir, const std::string& buildFallback);

std::string withSlash(std::string dir);

} // namespace getkelo
