#include "comm/crc16.h"
#include "comm/register_descriptor.h"
#include "comm/ttesra.h"
#include "comm/value_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace getkelo {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(Crc16, ReadRequestGivesWireBytes840A) {
    const uint8_t frame[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
    uint16_t crc = TTesra::Crc16(frame, 6);
    EXPECT_EQ(crc & 0xFF, 0x84); // low byte first on the wire
    EXPECT_EQ(crc >> 8, 0x0A);
}

TEST(Crc16, KnownAnswerOf123456789) {
    const char* text = "123456789";
    EXPECT_EQ(Crc16(reinterpret_cast<const uint8_t*>(text), 9), 0x4B37);
}

TEST(Crc16, AppendedCrcMatchesAndOneFlippedBitDoesNot) {
    uint8_t frame[10] = {0x11, 0x10, 0x00, 0x06, 0x00, 0x02};
    EXPECT_EQ(appendCrc(frame, 6), 8);
    EXPECT_TRUE(crcMatches(frame, 8));
    for (int byte = 0; byte < 8; ++byte) {
        frame[byte] ^= 0x04;
        EXPECT_FALSE(crcMatches(frame, 8)) << "byte " << byte;
        frame[byte] ^= 0x04;
    }
}

struct ToTextCase {
    Bytes bytes;
    uint8_t type;
    std::string text;
};

class ValueToTextTable : public ::testing::TestWithParam<ToTextCase> {};

TEST_P(ValueToTextTable, Converts) {
    Bytes data = GetParam().bytes;
    data.resize(64, 0);
    EXPECT_EQ(ValueToText(data.data(), GetParam().type), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Codec, ValueToTextTable,
    ::testing::Values(ToTextCase{{0x42, 0xC8, 0x00, 0x00}, kTypeFloat, "100"},
                      ToTextCase{{0x3F, 0x80, 0x00, 0x00}, kTypeFloat, "1"},
                      ToTextCase{{0x7F, 0xC0, 0x00, 0x00}, kTypeFloat, "NaN"},
                      ToTextCase{{0xFF, 0x80, 0x00, 0x00}, kTypeFloat, "-INF"},
                      ToTextCase{{0x7F, 0x80, 0x00, 0x00}, kTypeFloat, "INF"},
                      ToTextCase{{0x41, 0x48, 0x00, 0x00}, kTypeFloat, "12.5"},
                      ToTextCase{{0x00, 0x01, 0x00, 0x00}, kTypeUInt32, "65536"},
                      ToTextCase{{0xFF, 0xFE}, kTypeInt16, "-2"},
                      ToTextCase{{0xFF, 0xFE}, kTypeUInt16, "65534"},
                      ToTextCase{{0xC8, 0x01}, kTypeByte, "200"},
                      ToTextCase{{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}, kTypeText8, "ABCDEFG"},
                      ToTextCase{{'l', 'n', '/', 'm', 'i', 'n', 0, 'X'}, kTypeText8, "ln/min"},
                      ToTextCase{{'N', '2'}, kTypeText50, "N2"},
                      ToTextCase{{0x42, 0xC8, 0x00, 0x00}, 0x99, ""}));

struct ToValueCase {
    std::string text;
    uint8_t type;
    Bytes bytes;
};

class TextToValueTable : public ::testing::TestWithParam<ToValueCase> {};

TEST_P(TextToValueTable, Stores) {
    uint8_t data[64];
    std::memset(data, 0xAA, sizeof data);
    TextToValue(data, GetParam().type, GetParam().text);
    const Bytes& want = GetParam().bytes;
    EXPECT_EQ(Bytes(data, data + want.size()), want);
    EXPECT_EQ(data[want.size()], 0xAA) << "wrote past the value";
}

INSTANTIATE_TEST_SUITE_P(
    Codec, TextToValueTable,
    ::testing::Values(ToValueCase{"-inf", kTypeFloat, {0xFF, 0x80, 0x00, 0x00}},
                      ToValueCase{"nan", kTypeFloat, {0x7F, 0xFF, 0xFF, 0xFF}},
                      ToValueCase{"12,5", kTypeFloat, {0x41, 0x48, 0x00, 0x00}},
                      ToValueCase{"12.5", kTypeFloat, {0x41, 0x48, 0x00, 0x00}},
                      ToValueCase{"1", kTypeFloat, {0x3F, 0x80, 0x00, 0x00}},
                      ToValueCase{"70000", kTypeUInt16, {0x11, 0x70}},
                      ToValueCase{"-2", kTypeInt16, {0xFF, 0xFE}},
                      ToValueCase{"274810365", kTypeUInt32, {0x10, 0x61, 0x45, 0xFD}},
                      ToValueCase{"abc", kTypeUInt16, {0x00, 0x00}},
                      ToValueCase{"300", kTypeByte, {0x2C}},
                      ToValueCase{"N2", kTypeText8, {'N', '2', 0, 0, 0, 0, 0, 0}},
                      ToValueCase{"", 0x99, {}}));

TEST(RegisterDescriptor, SetpointFields) {
    RegisterDescriptor d = 0x00060213;
    EXPECT_EQ(descRegister(d), 0x0006);
    EXPECT_EQ(descCount(d), 2);
    EXPECT_EQ(descType(d), kTypeFloat);
    EXPECT_EQ(makeDescriptor(0x0006, 2, kTypeFloat), d);
}

} // namespace
} // namespace getkelo
