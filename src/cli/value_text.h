#pragma once
#include <cstdint>
#include <string>

namespace getkelo::cli {

// A value typed on the command line, checked against the register's type before anything is
// sent: a number that the type can hold (no fraction for integer types, nothing beyond the
// float range; "nan" and "inf" spelled out for floats), or a text that fits its registers.
// The device layer's lenient conversion ("abc" as 0) stays for the program's own callers.
// On success `wire` is the text to hand to WriteValue (hex integers as decimal).
bool checkValueText(uint8_t type, const std::string& text, std::string& wire, std::string& error);

} // namespace getkelo::cli
