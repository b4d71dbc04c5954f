#include "base/ini_file.h"

#include "base/cp1252.h"
#include "base/number_format.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace getkelo {
namespace {

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

long long fileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<long long>(st.st_mtim.tv_sec) * 1000000007LL + st.st_mtim.tv_nsec +
           static_cast<long long>(st.st_size) * 31;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

} // namespace

bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
    auto fail = [&](const std::string& what) {
        if (error) *error = what + " \"" + path + "\": " + std::strerror(errno);
        return false;
    };
    std::string tmpl = path + ".tmpXXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return fail("cannot create a temporary file for");
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            int e = errno;
            ::close(fd);
            ::unlink(name.data());
            errno = e;
            return fail("cannot write");
        }
        done += static_cast<size_t>(w);
    }
    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    else
        ::fchmod(fd, 0644);
    if (::fsync(fd) != 0) {
        int e = errno;
        ::close(fd);
        ::unlink(name.data());
        errno = e;
        return fail("cannot sync");
    }
    ::close(fd);
    if (::rename(name.data(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(name.data());
        errno = e;
        return fail("cannot replace");
    }
    int dfd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    if (error) error->clear();
    return true;
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

IniFile::Batch::~Batch() {
    if (--f_.batchDepth_ == 0 && f_.dirty_) f_.save();
}

void IniFile::load() const {
    long long stamp = fileStamp(path_);
    if (loaded_ && stamp == stamp_) return;
    // Unsaved changes of a running batch win over the disk.
    if (loaded_ && dirty_) return;
    sections_.clear();
    sections_.push_back(Section{});
    stamp_ = stamp;
    loaded_ = true;
    if (stamp == -1) return;
    std::ifstream in(path_, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    // A UTF-8 byte-order mark (an editor saved the file as UTF-8) is no part of the first
    // line, and such a file is UTF-8 throughout. Writes give the file back in Windows-1252,
    // without the mark.
    const std::string bytes = ss.str();
    static const std::string kUtf8Bom = "\xEF\xBB\xBF";
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

bool IniFile::save() {
    if (batchDepth_ > 0) {
        dirty_ = true;
        return true;
    }
    return commit();
}

bool IniFile::commit() {
    std::string out;
    for (const Section& s : sections_) {
        if (!s.name.empty() || !s.header.empty())
            out += (s.header.empty() ? "[" + s.name + "]" : s.header) + "\r\n";
        for (const Line& l : s.lines) {
            out += (l.key.empty() ? l.text : l.key + "=" + l.value) + "\r\n";
        }
    }
    dirty_ = false;
    bool ok = writeFileAtomically(path_, utf8ToCp1252(out), &lastError_);
    stamp_ = fileStamp(path_);
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
    load();
    // A line break inside a value would start a new line of the file.
    std::string v;
    for (char c : value)
        v += (c == '\r' || c == '\n') ? ' ' : c;
    Section* s = findSection(section);
    if (!s) {
        Section ns;
        ns.name = section;
        sections_.push_back(std::move(ns));
        s = &sections_.back();
    }
    if (Line* l = findKey(*s, key)) {
        l->value = v;
    } else {
        // New keys go after the last key=value line, before trailing blank lines.
        size_t at = s->lines.size();
        while (at > 0 && trim(s->lines[at - 1].text).empty() && s->lines[at - 1].key.empty())
            --at;
        s->lines.insert(s->lines.begin() + static_cast<long>(at), Line{"", key, v});
    }
    return save();
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
    load();
    bool found = false;
    for (size_t i = sections_.size(); i-- > 1;) {
        if (sameName(sections_[i].name, section)) {
            sections_.erase(sections_.begin() + static_cast<long>(i));
            found = true;
        }
    }
    return found ? save() : true;
}

bool IniFile::deleteKey(const std::string& section, const std::string& key) {
    load();
    Section* s = findSection(section);
    if (!s) return true;
    for (auto it = s->lines.begin(); it != s->lines.end(); ++it) {
        if (!it->key.empty() && sameName(it->key, key)) {
            s->lines.erase(it);
            return save();
        }
    }
    return true;
}

} // namespace getkelo
