#pragma once
#include "console/text_source.h"
#include "shell/language_file.h"

#include <map>
#include <string>

namespace getkelo {

// The texts of the current language as the console and the dialogs read them. Applying a
// language takes a snapshot of its section, so the texts stay as they were applied until the
// next language change (a file edited meanwhile does not change captions half-way).
class LanguageTextSource : public TextSource {
  public:
    LanguageTextSource() = default;
    LanguageTextSource(const std::string& programDir, const std::string& languageName) {
        load(programDir, languageName);
    }

    // Reads section [<languageName>] of <programDir><languageName>.lng; a missing file or
    // section leaves every text empty.
    void load(const std::string& programDir, const std::string& languageName);

    std::string text(const std::string& key) const override;
    const std::string& languageName() const { return name_; }
    const MessageTexts& messages() const { return messages_; }

  private:
    std::string name_;
    std::map<std::string, std::string> texts_; // keys lower-cased: INI names ignore case
    MessageTexts messages_;
};

} // namespace getkelo
