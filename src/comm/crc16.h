#pragma once
#include <cstdint>

namespace getkelo {

// CRC-16/MODBUS (reflected polynomial 0xA001, initial 0xFFFF, no final XOR), computed with
// the protocol's pair of 256-entry tables. The low byte of the result goes first on the wire.
uint16_t Crc16(const uint8_t* frame, int length);

// Appends the CRC after `length` bytes (low byte first); returns length + 2.
int appendCrc(uint8_t* frame, int length);
// True when the last two of `length` bytes are the CRC of the bytes before them.
bool crcMatches(const uint8_t* frame, int length);

} // namespace getkelo
