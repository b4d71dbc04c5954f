#include "update/firmware_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace getkelo {

namespace fs = std::filesystem;

std::vector<FirmwareEntry> listFirmwareFiles(const std::string& folder, size_t* skipped) {
    std::vector<fs::path> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.extension() != ".rfw" || it->is_directory(ec)) continue;
        names.push_back(p);
    }
    std::sort(names.begin(), names.end());
    std::vector<FirmwareEntry> out;
    for (const fs::path& p : names) {
        std::ifstream probe(p, std::ios::binary);
        if (!probe) continue; // one that cannot be read is not offered
        const auto size = fs::file_size(p, ec);
        out.push_back({p.string(), std::to_string(ec ? 0 : size)});
    }
    size_t dropped = out.size() > kMaxFirmwareFiles ? out.size() - kMaxFirmwareFiles : 0;
    out.erase(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(dropped));
    if (skipped) *skipped = dropped;
    return out;
}

std::string firmwareVersionPart(const std::string& pathOrName) {
    const std::string name = fs::path(pathOrName).filename().string();
    return name.size() > 6 ? name.substr(6, 6) : std::string();
}

std::string firmwareListName(const std::string& path) {
    return path.size() > 16 ? path.substr(path.size() - 16) : path;
}

} // namespace getkelo
