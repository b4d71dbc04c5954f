#include "calib/calib_texts.h"

#include "console/text_source.h"

namespace getkelo {

std::string calibText(const TextSource& texts, const char* key, const char* fallback,
                      const std::vector<std::string>& args) {
    return textWithArgs(texts, key, fallback, args);
}

} // namespace getkelo
