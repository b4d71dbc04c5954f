#pragma once
#include <map>
#include <string>

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

} // namespace getkelo
