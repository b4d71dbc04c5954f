// A settings file of any bytes, then writes, key deletions and section erasures by two
// objects on the one file (one of them in a batch now and then). After each step a fresh
// reader must give exactly what a model of the writes says, and what no write touched must
// read as before.
#include "base/cp1252.h"
#include "base/ini_file.h"
#include "fuzz_input.h"
#include "harnesses.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace getkelo::fuzz {
namespace {

// Names as the program uses them; values of any characters the file can hold.
const std::string kNameChars = "abAB01_. ";
const std::string kValueChars = "aZ09 =;[]\t\r\n.,-\xC3\xA4\xE2\x80\xB0\xC2\xB0";

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string trimmed(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t'))
        ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r'))
        --b;
    return s.substr(a, b - a);
}

// What a value reads back as: line breaks become blanks, the ends are trimmed, and the file
// holds Windows-1252.
std::string storedForm(const std::string& value) {
    std::string v = value;
    for (char& c : v)
        if (c == '\r' || c == '\n') c = ' ';
    return trimmed(cp1252ToUtf8(utf8ToCp1252(v)));
}

std::string name(FuzzInput& in) {
    std::string n = trimmed(in.text(kNameChars, 4));
    return n.empty() ? "k" : n;
}

std::string settingsPath() {
    // tmpfs when there is one: a million runs of fsync'ed writes on a disk take days.
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    static const std::string dir = [base] {
        std::string d = std::string(base) + "/getkelo_fuzz_ini_" + std::to_string(getpid());
        mkdir(d.c_str(), 0700);
        return d;
    }();
    return dir + "/GetKelo.ini";
}

std::string held(const std::string& text) {
    return cp1252ToUtf8(utf8ToCp1252(text));
}

using Model = std::map<std::string, std::map<std::string, std::string>>; // lower-case names

Model snapshot(const IniFile& f) {
    Model m;
    std::map<std::string, bool> seen;
    for (const std::string& s : f.sectionNames()) {
        if (seen[held(lower(s))]) continue; // a repeated section: the first one is read
        seen[held(lower(s))] = true;
        // A repeated key: the first one is read. A file an editor saved as UTF-8 is written
        // back in Windows-1252, so names and values are compared in what the file can hold.
        auto& keys = m[held(lower(s))];
        for (const auto& [k, v] : f.sectionPairs(s))
            keys.emplace(held(lower(k)), held(v));
    }
    return m;
}

void check(const Model& model, const std::string& path, const char* after) {
    const IniFile fresh(path);
    const Model disk = snapshot(fresh);
    if (disk != model) {
        std::string d;
        for (auto& [s, keys] : model)
            for (auto& [k, v] : keys)
                if (fresh.readString(s, k, "\x01") != v) d += "[" + s + "]" + k + " ";
        fuzzFailure(after, "left the file unlike its model: " + d);
    }
}

} // namespace

int fuzzIniFile(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const std::string path = settingsPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::vector<uint8_t> initial = in.bytes(in.byte() * 4);
        out.write(reinterpret_cast<const char*>(initial.data()),
                  static_cast<std::streamsize>(initial.size()));
    }
    IniFile a(path), b(path);
    Model model = snapshot(a);
    // Changes of a batch on `a` reach the file when it ends, on top of what is there then.
    std::unique_ptr<IniFile::Batch> batch;
    std::vector<std::function<void(Model&)>> deferred;
    auto endBatch = [&] {
        batch.reset();
        for (auto& change : deferred)
            change(model);
        deferred.clear();
    };
    for (int step = 0; step < 12 && !in.empty(); ++step) {
        const uint8_t op = in.byte();
        IniFile& f = op & 0x10 ? b : a;
        if (op & 0x20 && !batch && &f == &a) batch = std::make_unique<IniFile::Batch>(a);
        const std::string section = lower(name(in)), key = lower(name(in));
        std::function<void(Model&)> change;
        switch (op % 3) {
        case 0: {
            const std::string value = in.text(kValueChars, 10);
            if (!f.writeString(section, key, value)) fuzzFailure("writeString", f.lastError());
            change = [=](Model& m) { m[section][key] = storedForm(value); };
            break;
        }
        case 1:
            if (!f.deleteKey(section, key)) fuzzFailure("deleteKey", f.lastError());
            change = [=](Model& m) {
                if (auto s = m.find(section); s != m.end()) s->second.erase(key);
            };
            break;
        default:
            if (!f.eraseSection(section)) fuzzFailure("eraseSection", f.lastError());
            change = [=](Model& m) { m.erase(section); };
            break;
        }
        if (batch && &f == &a)
            deferred.push_back(change);
        else
            change(model);
        if (op & 0x40 && batch) endBatch();
        if (batch) continue;
        check(model, path, "a write");
        // Every object reads the file as it is now.
        if (snapshot(op & 0x80 ? a : b) != model) fuzzFailure("read", "by a stale object");
    }
    if (batch) {
        endBatch();
        check(model, path, "the end of a batch");
    }
    return 0;
}

} // namespace getkelo::fuzz
