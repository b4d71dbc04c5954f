#pragma once
#include <cstddef>
#include <string>

namespace getkelo {

// The one integer reader for numbers that come from outside (command line, settings and data
// files, device texts). Every digit is checked against the limit before it is taken, so a
// value never wraps: "18446744073709551617" is refused, not read as 1.

// Strict parse of a whole text (surrounding blanks allowed, optional sign, decimal or
// "0x"/"$" hexadecimal). False when the text is not exactly one integer that fits.
bool parseInteger(const std::string& text, long long& out);

// As parseInteger, and the value must lie in [min, max].
bool parseIntegerIn(const std::string& text, long long min, long long max, long long& out);

// The leading decimal integer of a text, as atoi reads it (leading blanks, optional sign,
// digits up to the first other character; no digits give 0), held to [min, max] instead of
// overflowing. `end`, when given, receives the index after the last character read.
long long leadingInteger(const std::string& text, long long min, long long max,
                         size_t* end = nullptr, size_t start = 0);

} // namespace getkelo
