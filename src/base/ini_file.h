#pragma once
#include <string>
#include <utility>
#include <vector>

namespace getkelo {

// The one settings-file accessor (settings, language, setup, calibration data files):
// sections in square brackets and key=value lines, names compared without regard to case,
// a missing file or key gives the caller's default. The file is Windows-1252 on disk and
// UTF-8 here; a file that starts with a UTF-8 byte-order mark is read as UTF-8 and written
// back in Windows-1252 without the mark. Every write reaches the disk at once by atomic replacement (temporary file in
// the same folder, fsync, rename, fsync of the folder), so a crash never leaves a half-written
// file. Lines the accessor does not understand are kept as they are.
//
// Like a private-profile file, each object sees what others wrote to the same path: the
// file is read again whenever it changed on disk.
class IniFile {
  public:
    explicit IniFile(std::string path);

    const std::string& path() const { return path_; }

    std::string readString(const std::string& section, const std::string& key,
                           const std::string& def = "") const;
    // A value that is not exactly one integer gives the default ("1.5" reads as default).
    long long readInteger(const std::string& section, const std::string& key,
                          long long def = 0) const;
    // Stored as 1/0; read as integer, not 0 = true.
    bool readBool(const std::string& section, const std::string& key, bool def = false) const;
    double readFloat(const std::string& section, const std::string& key, double def = 0) const;

    bool writeString(const std::string& section, const std::string& key, const std::string& value);
    bool writeInteger(const std::string& section, const std::string& key, long long value);
    bool writeBool(const std::string& section, const std::string& key, bool value);
    bool writeFloat(const std::string& section, const std::string& key, double value);

    bool sectionExists(const std::string& section) const;
    bool valueExists(const std::string& section, const std::string& key) const;
    std::vector<std::string> sectionNames() const;
    // The key=value lines of a section, in file order.
    std::vector<std::string> sectionValues(const std::string& section) const;
    std::vector<std::pair<std::string, std::string>> sectionPairs(const std::string& section) const;
    bool eraseSection(const std::string& section);
    bool deleteKey(const std::string& section, const std::string& key);

    // The reason of the last failed write (empty after a good one).
    const std::string& lastError() const { return lastError_; }

    // Defers the disk writes of a burst of changes (a state save) to one atomic replacement
    // at the end of the scope. Nested scopes flush at the outermost end.
    class Batch {
      public:
        explicit Batch(IniFile& f) : f_(f) { ++f_.batchDepth_; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        IniFile& f_;
    };

  private:
    struct Line {
        std::string text; // the raw line for anything that is not key=value
        std::string key;  // empty for raw lines
        std::string value;
    };
    struct Section {
        std::string name; // empty for lines before the first section
        std::string header;
        std::vector<Line> lines;
    };

    void load() const;
    bool save();
    bool commit();
    Section* findSection(const std::string& name) const;
    Line* findKey(Section& s, const std::string& key) const;

    std::string path_;
    mutable std::vector<Section> sections_;
    mutable long long stamp_ = -2; // mtime+size signature of what sections_ holds
    mutable bool loaded_ = false;
    int batchDepth_ = 0;
    bool dirty_ = false;
    std::string lastError_;
};

// Writes a whole file atomically (temporary file, fsync, rename, fsync of the folder).
// Used by the settings accessor and by every writer of complete data files.
bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error);

} // namespace getkelo
