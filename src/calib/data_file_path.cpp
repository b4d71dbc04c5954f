#include "calib/data_file_path.h"
#include "base/integer_parse.h"

#include "console/console_settings.h"

#include <cctype>
#include <climits>
#include <cstdlib>

namespace getkelo {

DataFileRoot dataFileRoot(const ConsoleSettings& settings) {
    DataFileRoot root{settings.dataBaseDir(), settings.newDirectoryStructure};
    for (char& c : root.baseDir)
        if (c == '\\') c = '/';
    if (!root.baseDir.empty() && root.baseDir.back() != '/') root.baseDir += '/';
    return root;
}

std::string generationTag(const std::string& typeText) {
    if (typeText.size() < 3) return "";
    return typeText.substr(0, 1) + typeText.substr(typeText.size() - 2);
}

std::string dataFileName(const std::string& typeText, const std::string& serialText,
                         bool newStructure) {
    if (serialText.empty() || serialText.size() > 10) return "";
    for (char c : serialText)
        if (!std::isdigit(static_cast<unsigned char>(c))) return "";
    if (typeText.size() < 3 || typeText.find_first_of("/\\") != std::string::npos ||
        typeText == "..")
        return "";
    std::string name = serialText + generationTag(typeText) + ".dat";
    if (newStructure)
        name = std::to_string(leadingInteger(serialText, 0, LLONG_MAX) / 1000) + "/" + name;
    return name;
}

std::string MakeDataFilePath(const DataFileRoot& root, const std::string& typeText,
                             const std::string& serialText) {
    const std::string name = dataFileName(typeText, serialText, root.newStructure);
    if (name.empty()) return "";
    std::string dir = root.baseDir;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir + typeText + "/" + name;
}

std::string dataFileGeneration(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const char* tag : {"v02", "t03"})
        if (name.find(tag) != std::string::npos) return tag;
    return "";
}

} // namespace getkelo
