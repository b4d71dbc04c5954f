#include "cli/printable_text.h"

#include <cstdio>

namespace getkelo::cli {

std::string printableText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    auto hex = [&out](unsigned value) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", value);
        out += buf;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20 || c == 0x7F)
            hex(c);
        else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) // U+0080..U+009F in UTF-8
            hex(next), ++i;
        else
            out += static_cast<char>(c);
    }
    return out;
}

} // namespace getkelo::cli
