#pragma once
#include "base/integer_parse.h"

#include <string>

namespace getkelo {

// The program's number texts. The decimal point is always "."; operator input may use ",".

// General format with `digits` significant digits (7 for device values): fixed notation
// while the integer part has at most `digits` digits and the magnitude is at least 0.00001,
// otherwise scientific with an exponent of at least two digits ("1.5E-06", "1E08").
// Trailing zeros and a bare decimal point are dropped. NaN and infinities give "NaN", "INF",
// "-INF".
std::string formatGeneral(double value, int digits = 7);

// "0.##" is formatFixedMax(v, 2), "0.######" is formatFixedMax(v, 6): at most that many
// decimals, no trailing zeros, no bare point, never "-0".
std::string formatFixedMax(double value, int maxDecimals);

// A number by a format pattern of the kind "0.##", "0.######", "0.000" or "0.0#": "0" before
// the point, after it required decimals ("0") followed by optional ones ("#"). Other patterns
// give the general format with 7 significant digits.
std::string formatPattern(double value, const std::string& pattern);

// Operator text to number: the first "," counts as ".", leading blanks, optional sign,
// digits, optional fraction and exponent; conversion stops at the first character that does
// not fit; no digits gives 0.
float TextToFloat(const std::string& text);
double textToDouble(const std::string& text);

// Strict number parse of a whole text ("," or "." as decimal point).
bool parseNumber(const std::string& text, double& out);

} // namespace getkelo
