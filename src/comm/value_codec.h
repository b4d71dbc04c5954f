#pragma once
#include <cstdint>
#include <string>

namespace getkelo {

// Register bytes to text by type code (data points at the first register's high byte, for
// an answer of function 03 at answer byte 3). Device texts are Windows-1252; the result is
// UTF-8. An unknown type gives "".
std::string ValueToText(const uint8_t* data, uint8_t typeCode);

// Text to register bytes by type code: numbers big-endian over (low nibble + 1) bytes, texts
// as 8 or 50 bytes padded with NUL. Writes nothing for an unknown type.
void TextToValue(uint8_t* destination, uint8_t typeCode, const std::string& text);

// Integer text as the device layer reads it: blanks, sign, decimal digits up to the first
// other character, wrapping arithmetic ("-2" is 0xFFFFFFFE), no digits give 0.
uint32_t wrappingInteger(const std::string& text);

// The version text "%d.%d.%02d" of a version register word (0x043E gives "4.3.14").
std::string versionText(uint16_t word);

} // namespace getkelo
