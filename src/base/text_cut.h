#pragma once
#include <cstddef>
#include <string>

namespace getkelo {

// The first `maxChars` characters of a UTF-8 text. Device texts are counted in characters
// (one byte each on the device), so a cut never splits a multi-byte character.
std::string cutToCharacters(const std::string& utf8, size_t maxChars);

} // namespace getkelo
