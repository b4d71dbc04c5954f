#pragma once
#include <string>

namespace getkelo {

// Files and device texts are Windows-1252; the program works in UTF-8.
// Characters Windows-1252 cannot hold become '?'. Invalid UTF-8 bytes are taken as
// Windows-1252 themselves, so a file that is already single-byte survives a round trip.
std::string utf8ToCp1252(const std::string& utf8);
std::string cp1252ToUtf8(const std::string& cp1252);

} // namespace getkelo
