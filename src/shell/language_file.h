#pragma once
#include "base/ini_file.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace getkelo {

// One language offered by the language dialog.
struct LanguageEntry {
    std::string name;     // display name, also the base name of the file and its section
    std::string flagPath; // <program dir><name>.bmp (may not exist)
};

// Every "<name>.lng" file in the program directory whose name has no other dot, so that the
// name shown leads back to the file ("Fr.old.lng" is not offered). Sorted by file name, so
// the list is the same on every run.
std::vector<LanguageEntry> ListLanguages(const std::string& programDir);

// "Deutsch.lng" -> "Deutsch"; "a.b.lng" -> "ang" (the four characters from the first dot go).
std::string languageDisplayName(const std::string& fileName);

// Why the language's file cannot give its texts (cannot be read, or has no section named
// like the language, which would blank every caption); "" when it can.
std::string languageLoadError(const std::string& programDir, const std::string& name);

// <program dir><name>.lng, <program dir><name>.bmp, <program dir><name>.hlp
std::string languageFilePath(const std::string& programDir, const std::string& name);
std::string languageFlagPath(const std::string& programDir, const std::string& name);
std::string languageHelpPath(const std::string& programDir, const std::string& name);

// A language file opened for reading: only the section named like the language counts, and a
// missing file, section or key gives "".
class LanguageFile {
  public:
    LanguageFile(const std::string& programDir, const std::string& languageName);

    const std::string& languageName() const { return name_; }
    std::string text(const std::string& key) const;

  private:
    std::string name_;
    IniFile ini_;
};

// The message texts that other dialogs show, taken from the language file when it is applied.
// The fourteen short texts once lived in 40-byte fields; here they are kept whole, so a
// translation longer than 39 characters is shown complete rather than cut.
class MessageTexts {
  public:
    static const std::array<const char*, 14> kFixedKeys;
    static const std::vector<std::string>& variableKeys();
    static constexpr std::size_t kFixedFieldChars = 39;

    // Replaces every message text with the file's value ("" when missing).
    void load(const LanguageFile& file);
    // "" for keys not loaded.
    const std::string& text(const std::string& key) const;
    // Keys whose fixed-size text exceeds the old field size (for a check of shipped files).
    std::vector<std::string> overlongFixedKeys() const;

  private:
    std::map<std::string, std::string> texts_;
};

} // namespace getkelo
