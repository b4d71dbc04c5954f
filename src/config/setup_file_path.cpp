#include "config/setup_file_path.h"

#include "calib/data_file_path.h"

#include <cctype>
#include <cstdint>

namespace getkelo {
namespace {

std::string folder(std::string dir) {
    for (char& c : dir)
        if (c == '\\') c = '/';
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

} // namespace

SetupKind setupKindOf(const std::string& version) {
    if (version < "4.0.0") return SetupKind::Older;
    if (version > "4.0.0") return SetupKind::Series4;
    return SetupKind::Neither;
}

std::string olderSetupFilePath(const std::string& workDir, bool newStructure,
                               const std::string& serial) {
    const std::string name = dataFileName("tesra Typ03", serial, newStructure);
    return name.empty() ? "" : folder(workDir) + name;
}

std::string series4SetupFilePath(const std::string& dataDir, bool newStructure,
                                 const std::string& version, const std::string& serial) {
    if (setupKindOf(version) != SetupKind::Series4 || !std::isdigit(uint8_t(version[0]))) return "";
    if (!newStructure) {
        const std::string name = dataFileName("tesra Typ04", serial, false);
        return name.empty() ? "" : folder(dataDir) + name;
    }
    // Every series-4 version starts with its one-digit major version ("4" to "9").
    const std::string type = std::string("tesra Typ0") + version[0];
    const std::string name = dataFileName(type, serial, true);
    return name.empty() ? "" : folder(dataDir) + "tesra typ0" + version[0] + "/" + name;
}

} // namespace getkelo
