#include "shell/language_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace getkelo {

std::string languageDisplayName(const std::string& fileName) {
    std::string name = fileName;
    auto dot = name.find('.');
    if (dot != std::string::npos) name.erase(dot, 4);
    return name;
}

// "<name>.lng" with no other dot: only then does the name the list shows lead back to this
// file ("Fr.old.lng" would be offered as "Fr" and "Fr.lng" read instead).
static bool isLanguageFileName(const std::string& s) {
    return s.size() > 4 && s.find('.') == s.size() - 4 && s.compare(s.size() - 4, 4, ".lng") == 0;
}

std::vector<LanguageEntry> ListLanguages(const std::string& programDir) {
    std::vector<std::string> files;
    if (DIR* d = opendir(programDir.empty() ? "." : programDir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (isLanguageFileName(n)) files.push_back(n);
        }
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    std::vector<LanguageEntry> out;
    for (const auto& f : files) {
        std::string name = languageDisplayName(f);
        out.push_back({name, languageFlagPath(programDir, name)});
    }
    return out;
}

std::string languageFilePath(const std::string& programDir, const std::string& name) {
    return programDir + name + ".lng";
}
std::string languageFlagPath(const std::string& programDir, const std::string& name) {
    return programDir + name + ".bmp";
}
std::string languageHelpPath(const std::string& programDir, const std::string& name) {
    return programDir + name + ".hlp";
}

std::string languageLoadError(const std::string& programDir, const std::string& name) {
    const std::string path = languageFilePath(programDir, name);
    if (::access(path.c_str(), R_OK) != 0) return path + ": " + std::strerror(errno);
    if (name.empty() || !IniFile(path).sectionExists(name))
        return path + ": no section [" + name + "]";
    return {};
}

LanguageFile::LanguageFile(const std::string& programDir, const std::string& languageName)
    : name_(languageName), ini_(languageFilePath(programDir, languageName)) {}

std::string LanguageFile::text(const std::string& key) const {
    // An empty language name has no section to read; IniFile would see the lines before the
    // first section header as a section without name.
    if (name_.empty()) return "";
    return ini_.readString(name_, key, "");
}

const std::array<const char*, 14> MessageTexts::kFixedKeys = {
    "Language", "Exit",     "SetAdr", "NewKelo",  "NewSetPoint", "SetPointError", "NoKelo",
    "NewAdr",   "AdrExist", "AdrOK",  "AdrError", "WriteEeprom", "EepromOK",      "EepromError"};

const std::vector<std::string>& MessageTexts::variableKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k = {
            "infoAddressIndexError", "infoAddressSlotError", "infoDataIndexError",
            "infoDataSlotError",     "infoPressureSettings", "infoUpdateStart",
            "infoUpdateEnd",         "infoUpdateError",      "infoUpdateSend",
            "infoUpdateDevice",      "infoUpdateSet",        "infoUpdateEmptyLabel",
            "infoUpdateEmptyTitle"};
        for (int i = 1; i <= 8; ++i)
            k.push_back("infoUpdateInfo" + std::to_string(i));
        for (const char* s :
             {"Col1Header", "Col2Header", "Col3Header", "infoNoCalib", "infoActiveCalib",
              "infoSearchLut", "infoSearchLutDone", "infoWritingParams", "infoWritingLut",
              "infoWritingDone", "infoDeleteLutLabel", "infoDeleteLutTitle", "infoSetupTitle",
              "infoSetupLabel", "infoSetupLabelEnd", "InfoNoLogDevice"})
            k.push_back(s);
        return k;
    }();
    return keys;
}

void MessageTexts::load(const LanguageFile& file) {
    texts_.clear();
    for (const char* k : kFixedKeys)
        texts_[k] = file.text(k);
    for (const auto& k : variableKeys())
        texts_[k] = file.text(k);
}

const std::string& MessageTexts::text(const std::string& key) const {
    static const std::string empty;
    auto it = texts_.find(key);
    return it == texts_.end() ? empty : it->second;
}

std::vector<std::string> MessageTexts::overlongFixedKeys() const {
    std::vector<std::string> out;
    for (const char* k : kFixedKeys) {
        // The old limit counted bytes of the single-byte file text, so count characters.
        const std::string& t = text(k);
        std::size_t chars = 0;
        for (unsigned char c : t)
            if ((c & 0xC0) != 0x80) ++chars;
        if (chars > kFixedFieldChars) out.push_back(k);
    }
    return out;
}

} // namespace getkelo
