#pragma once
#include <string>
#include <vector>

namespace getkelo {

class TextSource;

// A message of the calibration windows: the language file's text of `key` (the German
// fallback when the file has none), with %1, %2 ... replaced by the arguments.
std::string calibText(const TextSource& texts, const char* key, const char* fallback,
                      const std::vector<std::string>& args = {});

} // namespace getkelo
