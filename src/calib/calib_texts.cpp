#include "calib/calib_texts.h"

#include "console/text_source.h"

namespace getkelo {

std::string calibText(const TextSource& texts, const char* key, const char* fallback,
                      const std::vector<std::string>& args) {
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
