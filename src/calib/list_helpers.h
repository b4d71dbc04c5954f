#pragma once
#include <string>
#include <vector>

namespace getkelo {

class IniFile;

// The small list and number helpers the calibration data files share. Lists are values
// separated by ";" with no ";" at either end; numbers in files use "." as decimal point.

// The items of a list, empty ones included (an empty text gives one empty item).
std::vector<std::string> ListItems(const std::string& text);

// A number at the start of the text and one after each ";" (only "." as decimal point; an
// item without digits reads 0). An empty text gives one value 0.
std::vector<double> ParseFloatList(const std::string& text);
// The same with integers.
std::vector<long long> ParseIntList(const std::string& text);

// Appends ";" when the list is not empty, then the value by the pattern ("0.######").
void AppendFormatted(std::string& list, const std::string& pattern, double value);

// The cells of a grid row (or column) joined with ";": the first cell (its label) is
// dropped and the text ends before the first two empty cells in a row; a single empty cell
// at the very end is dropped too, so the list never ends in ";".
std::string JoinGridRow(const std::vector<std::string>& row);

// Writes the key only when the value is not empty; true when nothing had to be written or
// the write succeeded.
bool WriteIfNotEmpty(IniFile& file, const std::string& section, const std::string& key,
                     const std::string& value);

double ClampValue(double x, double low, double high);
// a / b, or 3.4e38 when b is 0.
double SafeDivide(double a, double b);

// "a.b.c" to a x 256 + b x 16 + c (missing parts count 0); FormatVersion gives "%d.%d.%02d".
int ParseVersion(const std::string& text);
std::string FormatVersion(int version);

} // namespace getkelo
