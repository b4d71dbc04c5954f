#pragma once
#include <cstdint>
#include <string>

namespace getkelo {

// A device variable: bits 31-16 start register, 15-8 register count, 7-0 type code.
using RegisterDescriptor = uint32_t;

// Type codes. For numbers the low nibble is the byte count minus one.
enum TypeCode : uint8_t {
    kTypeFloat = 0x13,
    kTypeInt16 = 0x21,
    kTypeUInt16 = 0x31,
    kTypeUInt32 = 0x43,
    kTypeByte = 0x50,
    kTypeText8 = 0x07,
    kTypeText50 = 0x60,
};

constexpr RegisterDescriptor makeDescriptor(uint16_t reg, uint8_t count, uint8_t type) {
    return static_cast<uint32_t>(reg) << 16 | static_cast<uint32_t>(count) << 8 | type;
}
// The descriptors of the common types at register `reg`.
constexpr RegisterDescriptor floatAt(uint16_t reg) {
    return makeDescriptor(reg, 2, kTypeFloat);
}
constexpr RegisterDescriptor int16At(uint16_t reg) {
    return makeDescriptor(reg, 1, kTypeInt16);
}
constexpr RegisterDescriptor uint16At(uint16_t reg) {
    return makeDescriptor(reg, 1, kTypeUInt16);
}
constexpr RegisterDescriptor uint32At(uint16_t reg) {
    return makeDescriptor(reg, 2, kTypeUInt32);
}
constexpr uint16_t descRegister(RegisterDescriptor d) {
    return static_cast<uint16_t>(d >> 16);
}
constexpr uint8_t descCount(RegisterDescriptor d) {
    return static_cast<uint8_t>(d >> 8);
}
constexpr uint8_t descType(RegisterDescriptor d) {
    return static_cast<uint8_t>(d);
}

// Bytes a value of this type occupies in the register data (0 for unknown types).
int typeByteCount(uint8_t type);

// Protocol limits: a function 03 answer and a function 16 request each carry at most 255
// bytes.
inline constexpr int kMaxReadRegisters = 125;
inline constexpr int kMaxWriteRegisters = 123;

enum class DescriptorUse { Read, Write };

// Why a descriptor cannot be read (or written) as it stands, or "" when it can: its type
// must be known, its registers must hold the type's bytes, and their number must stay
// within what one request of the function carries. A short descriptor would show bytes
// of the answer that are no part of the value (its CRC, for a text over one register).
std::string descriptorProblem(RegisterDescriptor d, DescriptorUse use);

} // namespace getkelo
