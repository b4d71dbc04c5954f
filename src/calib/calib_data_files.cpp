#include "calib/calib_data_files.h"

#include "base/cp1252.h"
#include "base/ini_file.h"
#include "base/make_folders.h"
#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <strings.h>

namespace getkelo {
namespace {

constexpr const char* kCaption = "Kalibrationsdaten";

std::string fill(std::string text, const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string mark = "%" + std::to_string(i + 1);
        for (size_t at = text.find(mark); at != std::string::npos;
             at = text.find(mark, at + args[i].size())) {
            text.replace(at, mark.size(), args[i]);
        }
    }
    return text;
}

} // namespace

CalibDataFiles::CalibDataFiles(TTesra& tesra, UiAdapter& ui, const TextSource& texts)
    : tesra_(tesra), ui_(ui), texts_(texts) {}

std::string CalibDataFiles::message(const char* key, const char* fallback,
                                    const std::vector<std::string>& args) const {
    std::string t = texts_.text(key);
    return fill(t.empty() ? fallback : t, args);
}

uint32_t CalibDataFiles::deviceSerial() {
    long long serial = 0;
    // An unreadable serial number counts 0, so the checksum no longer fits the section.
    if (!parseInteger(tesra_.ReadValue(reg::kSerialNumber), serial)) serial = 0;
    return static_cast<uint32_t>(serial);
}

bool CalibDataFiles::writeSection(IniFile& file, const std::string& section,
                                  const std::vector<std::pair<std::string, std::string>>& pairs,
                                  const uint32_t* checkSerial) {
    for (;;) {
        std::string error;
        if (makeFolders(folderOfPath(file.path()), &error)) {
            {
                IniFile::Batch batch(file);
                for (const auto& [key, value] : pairs)
                    file.writeString(section, key, value);
                // Summed over the lines as the file will hold them.
                if (checkSerial)
                    file.writeString(
                        section, "Check",
                        std::to_string(checksumOfLines(file.sectionPairs(section), *checkSerial)));
            }
            error = file.lastError();
            if (error.empty()) return true;
        }
        const std::string text =
            message("infoDataFileWriteError",
                    "Die Datei \"%1\" konnte nicht geschrieben werden (%2). Sie "
                    "ist unverändert. Noch einmal versuchen?",
                    {file.path(), error});
        if (ui_.messageBox(text, kCaption, MsgIcon::Error, MsgButtons::YesNo) != MsgAnswer::Yes)
            return false;
    }
}

void CalibDataFiles::tellFailure(const std::string& progressText, const std::string& message) {
    // The transfer left its window open with its failure text; it closes with that text.
    if (!progressText.empty()) ui_.progressFinish(progressText);
    ui_.messageBox(message, kCaption, MsgIcon::Error, MsgButtons::Ok);
}

int32_t checksumOfLines(const std::vector<std::pair<std::string, std::string>>& lines,
                        uint32_t serial) {
    uint32_t sum = serial;
    for (const auto& [key, value] : lines) {
        if (strcasecmp(key.c_str(), "Check") == 0) continue;
        // The file's bytes count, as single-byte characters with a sign.
        for (char c : utf8ToCp1252(key + "=" + value))
            sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(c)));
    }
    return static_cast<int32_t>(sum);
}

int32_t CalibDataFiles::SectionChecksum(const std::string& filePath, const std::string& section) {
    const uint32_t serial = deviceSerial();
    return checksumOfLines(IniFile(filePath).sectionPairs(section), serial);
}

} // namespace getkelo
