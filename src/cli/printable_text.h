#pragma once
#include <string>

namespace getkelo::cli {

// A device text as printable output: control characters (C0, DEL, and the C1 controls a
// Windows-1252 text can carry) become \n, \r, \t or \xHH, and a backslash becomes \\, so a
// device is always one line and an escape in the output cannot be forged by the device.
std::string printableText(const std::string& utf8);

} // namespace getkelo::cli
