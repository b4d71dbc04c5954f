#pragma once
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
