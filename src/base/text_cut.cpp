#include "base/text_cut.h"

namespace getkelo {

std::string cutToCharacters(const std::string& utf8, size_t maxChars) {
    size_t chars = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        // Continuation bytes (10xxxxxx) belong to the character before them.
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
        if (chars++ == maxChars) return utf8.substr(0, i);
    }
    return utf8;
}

} // namespace getkelo
