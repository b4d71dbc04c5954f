#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace getkelo {

// The EEPROM image of the first device generation, moved whole through the ASCII service
// protocol: device addresses 0x0000 to 0x1310. An image read delivers two bytes more.
inline constexpr int kServiceImageSize = 0x1311;                    // 4881
inline constexpr int kServiceImageReadSize = kServiceImageSize + 2; // 4883
inline constexpr int kServiceImageBufferSize = 8192;                // what callers keep an image in

// Temperature tick tables: eight lists of up to 256 signed 16-bit values, list k from byte
// k x 512, value j at k x 512 + 2j (big-endian). Keys "FlowTicksTemp0" .. "FlowTicksTemp7".
inline constexpr int kFlowTickLists = 8;
inline constexpr int kFlowTicksPerList = 256;
std::string flowTicksKey(int list);

// One named value of the image. Types are those of the register codec: 0x50 one byte,
// 0x31 unsigned 16-bit, 0x21 signed 16-bit, 0x07 text of at most 7 characters (8 bytes).
struct ServiceImageField {
    const char* key;
    uint16_t offset;
    uint8_t type;
    long long min, max; // accepted range of the numeric types
};

// "Gain", "HeatPower", "Std_Norm", "Digits", "Unit", "TheorMaxFlow", "PractMaxFlow",
// "Zerocut", "Factor", "Divisor", "Step", "Gas", in image order.
const std::vector<ServiceImageField>& serviceImageFields();
const ServiceImageField* findServiceImageField(const std::string& key); // case-insensitive

// The field's value as text (decimal, or the text).
std::string imageFieldText(std::span<const uint8_t> image, const ServiceImageField& field);
// Checks the text (an integer in the field's range, or a text of at most 7 Windows-1252
// characters) and places it; false with a reason and the image untouched otherwise.
bool setImageField(std::span<uint8_t> image, const ServiceImageField& field,
                   const std::string& text, std::string* error = nullptr);

std::vector<int> imageFlowTicks(std::span<const uint8_t> image, int list);
// Places up to 256 values from the start of the list; values beyond the list keep theirs.
// False (image untouched) for more than 256 values or a value outside -32768..32767.
bool setImageFlowTicks(std::span<uint8_t> image, int list, const std::vector<long long>& values,
                       std::string* error = nullptr);

// The device's flow scale from the image: Factor / Divisor / 10^Digits (0 when Divisor is 0).
double imageFlowScale(std::span<const uint8_t> image);

} // namespace getkelo
