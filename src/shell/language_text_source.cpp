#include "shell/language_text_source.h"

#include <cctype>

namespace getkelo {

static std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void LanguageTextSource::load(const std::string& programDir, const std::string& languageName) {
    name_ = languageName;
    texts_.clear();
    LanguageFile file(programDir, languageName);
    if (!languageName.empty()) {
        IniFile ini(languageFilePath(programDir, languageName));
        for (const auto& [k, v] : ini.sectionPairs(languageName))
            texts_.emplace(lower(k), v);
    }
    messages_.load(file);
}

std::string LanguageTextSource::text(const std::string& key) const {
    auto it = texts_.find(lower(key));
    return it == texts_.end() ? std::string() : it->second;
}

} // namespace getkelo
