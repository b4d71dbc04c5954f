#pragma once
#include "base/atomic_file.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace getkelo {

// The one settings-file accessor (settings, language, setup, calibration data files):
// sections in square brackets and key=value lines, names compared without regard to case,
// a missing file or key gives the caller's default. The file is Windows-1252 on disk and
// UTF-8 here; a file that starts with a UTF-8 byte-order mark is read as UTF-8 and written
// back in Windows-1252 without the mark. Every write reaches the disk at once by atomic
// replacement (writeFileAtomically), so a crash never leaves a half-written file; temporary
// files a killed save left behind are removed when a path is first opened. Lines the accessor
// does not understand are kept as they are. Only a regular file of at most
// kMaxSettingsFileBytes is read; anything else reads as empty, is never written over, and
// loadError() says why.
//
// Like a private-profile file, each object sees what others wrote to the same path: the
// file is read again whenever its identity changed, and every write applies its change to
// what is on disk at that moment, so a stale object never writes old values back.
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
    // Why the file could not be read (empty when it was read or is missing).
    const std::string& loadError() const {
        load();
        return loadError_;
    }

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

    using Change = std::function<bool(IniFile&)>; // true when it changed anything
    void load(bool force = false) const;
    void parse(const std::string& bytes) const;
    bool change(Change c);
    bool commit();
    Section* findSection(const std::string& name) const;
    Line* findKey(Section& s, const std::string& key) const;

    std::string path_;
    mutable std::vector<Section> sections_;
    mutable FileIdentity identity_; // of the file sections_ was read from
    mutable bool loaded_ = false;
    mutable std::string loadError_;
    int batchDepth_ = 0;
    std::vector<Change> pending_; // changes of a running batch, replayed on every re-read
    std::string lastError_;
};

} // namespace getkelo
