#include "base/ini_file.h"

#include "base/cp1252.h"
#include "base/number_format.h"

#include <mutex>
#include <set>
#include <strings.h>

namespace getkelo {
namespace {

const std::string kUtf8Bom = "\xEF\xBB\xBF";

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t'))
        ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r'))
        --b;
    return s.substr(a, b - a);
}

// Stale temporary files are looked for once per file and process.
void cleanUpOnce(const std::string& path) {
    static std::mutex mutex;
    static std::set<std::string> done;
    std::lock_guard<std::mutex> lock(mutex);
    if (done.insert(path).second) removeStaleTemporaries(path);
}

} // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    cleanUpOnce(path_);
}

IniFile::Batch::~Batch() {
    if (--f_.batchDepth_ > 0 || f_.pending_.empty()) return;
    // The batch's changes go onto what is on disk now, not onto what was read at its start.
    f_.load(true);
    f_.pending_.clear();
    if (f_.loadError_.empty())
        f_.commit();
    else
        f_.lastError_ = f_.loadError_;
}

void IniFile::load(bool force) const {
    const FileIdentity id = fileIdentity(path_);
    if (loaded_ && !force && id == identity_) return;
    std::string bytes;
    const FileRead r = readRegularFile(path_, kMaxSettingsFileBytes, bytes, loadError_);
    identity_ = id;
    loaded_ = true;
    parse(r == FileRead::Ok ? bytes : std::string());
    // Unsaved changes of a running batch stay on top of what the disk holds.
    for (const Change& c : pending_)
        c(const_cast<IniFile&>(*this));
}

void IniFile::parse(const std::string& bytes) const {
    sections_.clear();
    sections_.push_back(Section{});
    // A UTF-8 byte-order mark (an editor saved the file as UTF-8) is no part of the first
    // line, and such a file is UTF-8 throughout. Writes give the file back in Windows-1252,
    // without the mark.
    std::string text =
        bytes.rfind(kUtf8Bom, 0) == 0 ? bytes.substr(kUtf8Bom.size()) : cp1252ToUtf8(bytes);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        std::string raw = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() : nl + 1;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::string t = trim(raw);
        if (!t.empty() && t.front() == '[') {
            size_t close = t.find(']');
            if (close != std::string::npos) {
                Section s;
                s.name = trim(t.substr(1, close - 1));
                s.header = raw;
                sections_.push_back(std::move(s));
                continue;
            }
        }
        Line l;
        size_t eq = t.find('=');
        if (eq != std::string::npos && eq > 0 && t[0] != ';') {
            l.key = trim(t.substr(0, eq));
            l.value = trim(t.substr(eq + 1));
        }
        l.text = raw;
        sections_.back().lines.push_back(std::move(l));
    }
}

bool IniFile::change(Change c) {
    // Applied to a fresh read: another object (or program) may have written since.
    load(batchDepth_ == 0);
    if (!loadError_.empty()) {
        lastError_ = loadError_;
        return false;
    }
    if (batchDepth_ > 0) {
        pending_.push_back(c);
        c(*this);
        return true;
    }
    return c(*this) ? commit() : true;
}

bool IniFile::commit() {
    std::string out;
    for (const Section& s : sections_) {
        if (!s.name.empty() || !s.header.empty())
            out += (s.header.empty() ? "[" + s.name + "]" : s.header) + "\r\n";
        for (const Line& l : s.lines) {
            out += (l.key.empty() || !l.text.empty() ? l.text : l.key + "=" + l.value) + "\r\n";
        }
    }
    out = utf8ToCp1252(out);
    // Text that begins with the bytes of a UTF-8 mark would be read as a UTF-8 file next
    // time; a blank first line keeps its meaning.
    if (out.rfind(kUtf8Bom, 0) == 0) out = "\r\n" + out;
    bool ok = writeFileAtomically(path_, out, &lastError_);
    identity_ = fileIdentity(path_);
    if (!ok) loaded_ = false; // read the disk's truth next time
    return ok;
}

IniFile::Section* IniFile::findSection(const std::string& name) const {
    for (size_t i = 1; i < sections_.size(); ++i)
        if (sameName(sections_[i].name, name)) return &sections_[i];
    return nullptr;
}

IniFile::Line* IniFile::findKey(Section& s, const std::string& key) const {
    for (Line& l : s.lines)
        if (!l.key.empty() && sameName(l.key, key)) return &l;
    return nullptr;
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    load();
    Section* s = findSection(section);
    if (!s) return def;
    Line* l = findKey(*s, key);
    return l ? l->value : def;
}

long long IniFile::readInteger(const std::string& section, const std::string& key,
                               long long def) const {
    long long v;
    return parseInteger(readString(section, key, ""), v) ? v : def;
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::readFloat(const std::string& section, const std::string& key, double def) const {
    double v;
    return parseNumber(readString(section, key, ""), v) ? v : def;
}

bool IniFile::writeString(const std::string& section, const std::string& key,
                          const std::string& value) {
    // A line break inside a value would start a new line of the file. Blanks at the ends are
    // dropped here as the file's reader drops them, so this object reads what others read.
    std::string v;
    for (char c : value)
        v += (c == '\r' || c == '\n') ? ' ' : c;
    v = trim(v);
    return change([section, key, v](IniFile& f) {
        Section* s = f.findSection(section);
        if (!s) {
            Section ns;
            ns.name = section;
            f.sections_.push_back(std::move(ns));
            s = &f.sections_.back();
        }
        if (Line* l = f.findKey(*s, key)) {
            l->value = v;
            l->text.clear(); // written anew; untouched lines keep their bytes
        } else {
            // New keys go after the last key=value line, before trailing blank lines.
            size_t at = s->lines.size();
            while (at > 0 && trim(s->lines[at - 1].text).empty() && s->lines[at - 1].key.empty())
                --at;
            s->lines.insert(s->lines.begin() + static_cast<long>(at), Line{"", key, v});
        }
        return true;
    });
}

bool IniFile::writeInteger(const std::string& section, const std::string& key, long long value) {
    return writeString(section, key, std::to_string(value));
}

bool IniFile::writeBool(const std::string& section, const std::string& key, bool value) {
    return writeString(section, key, value ? "1" : "0");
}

bool IniFile::writeFloat(const std::string& section, const std::string& key, double value) {
    return writeString(section, key, formatGeneral(value, 15));
}

bool IniFile::sectionExists(const std::string& section) const {
    load();
    return findSection(section) != nullptr;
}

bool IniFile::valueExists(const std::string& section, const std::string& key) const {
    load();
    Section* s = findSection(section);
    return s && findKey(*s, key);
}

std::vector<std::string> IniFile::sectionNames() const {
    load();
    std::vector<std::string> out;
    for (size_t i = 1; i < sections_.size(); ++i)
        out.push_back(sections_[i].name);
    return out;
}

std::vector<std::string> IniFile::sectionValues(const std::string& section) const {
    std::vector<std::string> out;
    for (auto& [k, v] : sectionPairs(section))
        out.push_back(k + "=" + v);
    return out;
}

std::vector<std::pair<std::string, std::string>>
IniFile::sectionPairs(const std::string& section) const {
    load();
    std::vector<std::pair<std::string, std::string>> out;
    if (Section* s = findSection(section))
        for (const Line& l : s->lines)
            if (!l.key.empty()) out.emplace_back(l.key, l.value);
    return out;
}

bool IniFile::eraseSection(const std::string& section) {
    return change([section](IniFile& f) {
        bool found = false;
        for (size_t i = f.sections_.size(); i-- > 1;) {
            if (sameName(f.sections_[i].name, section)) {
                f.sections_.erase(f.sections_.begin() + static_cast<long>(i));
                found = true;
            }
        }
        return found;
    });
}

bool IniFile::deleteKey(const std::string& section, const std::string& key) {
    // Every line of the key goes, in every section of the name: a second one would surface.
    return change([section, key](IniFile& f) {
        bool found = false;
        for (size_t i = 1; i < f.sections_.size(); ++i) {
            Section& s = f.sections_[i];
            if (!sameName(s.name, section)) continue;
            const size_t before = s.lines.size();
            std::erase_if(s.lines,
                          [&](const Line& l) { return !l.key.empty() && sameName(l.key, key); });
            found = found || s.lines.size() != before;
        }
        return found;
    });
}

} // namespace getkelo
