#include "base/cp1252.h"

#include <cstdint>

namespace getkelo {
namespace {

// Code points of 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves undefined
// (they map to the C1 control of the same value).
const char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char toCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        char32_t m = kHigh[i] ? kHigh[i] : static_cast<char32_t>(0x80 + i);
        if (m == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

std::string cp1252ToUtf8(const std::string& in) {
    std::string out;
    out.reserve(in.size() + in.size() / 8);
    for (unsigned char b : in) {
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (b < 0xA0) {
            char32_t m = kHigh[b - 0x80];
            appendUtf8(out, m ? m : b);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

std::string utf8ToCp1252(const std::string& in) {
    std::string out;
    out.reserve(in.size());
    size_t i = 0;
    const size_t n = in.size();
    while (i < n) {
        unsigned char b = static_cast<unsigned char>(in[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        int len = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        bool ok = len > 0 && i + len <= n;
        char32_t c = 0;
        if (ok) {
            c = b & (0x7F >> len);
            for (int k = 1; k < len; ++k) {
                unsigned char t = static_cast<unsigned char>(in[i + k]);
                if ((t & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                c = (c << 6) | (t & 0x3F);
            }
            // Overlong forms ("\xC0\xAF" for '/'), surrogates and code points past
            // U+10FFFF are no UTF-8: such a form must never turn into a plain character.
            static constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
            if (ok && (c < kLeast[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
        }
        if (!ok) {
            // Not UTF-8: keep the byte as it is (already single-byte text).
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        out += toCp1252(c);
        i += len;
    }
    return out;
}

} // namespace getkelo
