#pragma once
#include <string>
#include <vector>

namespace getkelo {

// One firmware file of the update directory.
struct FirmwareEntry {
    std::string path;
    std::string sizeText; // file size, unsigned decimal
};

// The firmware table holds this many files.
inline constexpr size_t kMaxFirmwareFiles = 100;

// The "*.rfw" files of a folder that can be opened for reading, in name order (so the last
// listed is the same on every system). Of more than kMaxFirmwareFiles the last ones by name
// are kept; `skipped` tells how many were left out.
std::vector<FirmwareEntry> listFirmwareFiles(const std::string& folder, size_t* skipped = nullptr);

// The version shown for a firmware file: the six characters of its name from the seventh
// ("Tesra_4.3.15.rfw" gives "4.3.15"), less when the name is shorter.
std::string firmwareVersionPart(const std::string& pathOrName);

// The last 16 characters of a path, as the firmware list shows it.
std::string firmwareListName(const std::string& path);

} // namespace getkelo
