#pragma once
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace getkelo {

// Where the console's message texts come from: the language file of the current language in
// the program, a plain map in tests and in the command-line tool. A missing key gives "".
class TextSource {
  public:
    virtual ~TextSource() = default;
    virtual std::string text(const std::string& key) const = 0;
};

// A message of the program's own: the language file's text, or `fallback` (the German
// wording) when the file has none for the key, so a file of an older version never turns a
// message into an empty box.
inline std::string textOr(const TextSource& texts, const std::string& key,
                          const std::string& fallback) {
    std::string t = texts.text(key);
    if (t.empty()) return fallback;
    // A language file keeps a text on one line: "\n" stands for a line break.
    for (auto at = t.find("\\n"); at != std::string::npos; at = t.find("\\n", at + 1))
        t.replace(at, 2, "\n");
    return t;
}

// Puts the arguments in place of "%1", "%2" ... (a translation may move them). An argument
// whose mark is missing is appended after a blank, so nothing the operator must see is lost.
inline std::string fillArgs(std::string text, std::initializer_list<std::string> args) {
    int n = 1;
    for (const std::string& arg : args) {
        const std::string mark = "%" + std::to_string(n++);
        const auto at = text.find(mark);
        if (at == std::string::npos)
            text += " " + arg;
        else
            text.replace(at, mark.size(), arg);
    }
    return text;
}

class MapTextSource : public TextSource {
  public:
    MapTextSource() = default;
    explicit MapTextSource(std::map<std::string, std::string> texts) : texts_(std::move(texts)) {}

    std::string text(const std::string& key) const override {
        auto it = texts_.find(key);
        return it == texts_.end() ? std::string() : it->second;
    }
    void set(const std::string& key, const std::string& value) { texts_[key] = value; }

  private:
    std::map<std::string, std::string> texts_;
};

// The language's text of key, or the fallback when it has none, with %1, %2 ... replaced by
// the arguments.
inline std::string textWithArgs(const TextSource& texts, const std::string& key,
                                const std::string& fallback,
                                const std::vector<std::string>& args = {}) {
    std::string text = texts.text(key);
    if (text.empty()) text = fallback;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string mark = "%" + std::to_string(i + 1);
        for (size_t at = text.find(mark); at != std::string::npos;
             at = text.find(mark, at + args[i].size()))
            text.replace(at, mark.size(), args[i]);
    }
    return text;
}

} // namespace getkelo
