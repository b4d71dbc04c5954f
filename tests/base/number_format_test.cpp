#include "base/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace getkelo;

struct GeneralCase {
    double value;
    const char* text;
};

TEST(FormatGeneral, SevenSignificantDigitsLikeDeviceValues) {
    const GeneralCase cases[] = {
        {0, "0"},
        {100, "100"},
        {1, "1"},
        {12.5, "12.5"},
        {-12.5, "-12.5"},
        {1.0 / 3.0, "0.3333333"},
        {1234567, "1234567"},
        {12345678, "1.234568E07"},
        {0.00001, "0.00001"},
        {0.000001234, "1.234E-06"},
        {99999995, "1E08"},
        {3.4e38, "3.4E38"},
        {49.99999, "49.99999"},
        {50.000001, "50"},
        {static_cast<float>(0.1), "0.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatGeneral(c.value, 7), c.text) << c.value;
}

TEST(FormatGeneral, NonFiniteValues) {
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::quiet_NaN()), "NaN");
    EXPECT_EQ(formatGeneral(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(formatGeneral(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(FormatFixedMax, DropsTrailingZerosAndNeverShowsMinusZero) {
    EXPECT_EQ(formatFixedMax(21.456, 2), "21.46");
    EXPECT_EQ(formatFixedMax(21.4, 2), "21.4");
    EXPECT_EQ(formatFixedMax(21.0, 2), "21");
    EXPECT_EQ(formatFixedMax(-0.001, 2), "0");
    EXPECT_EQ(formatFixedMax(0.1234567, 6), "0.123457");
    EXPECT_EQ(formatFixedMax(-3.5, 6), "-3.5");
}

TEST(TextToFloat, CommaOrPointAndLeadingPartOnly) {
    struct {
        const char* text;
        float value;
    } cases[] = {
        {"12,5", 12.5f}, {"12.5", 12.5f}, {"  -3", -3.f},  {"+4e2", 400.f}, {"7abc", 7.f},
        {"abc", 0.f},    {"", 0.f},       {"1,5,7", 1.5f}, {"2e", 2.f},     {".5", 0.5f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(TextToFloat(c.text), c.value) << c.text;
}

TEST(ParseInteger, WholeTextOnly) {
    long long v = 0;
    EXPECT_TRUE(parseInteger(" 42 ", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(parseInteger("-7", v));
    EXPECT_EQ(v, -7);
    EXPECT_TRUE(parseInteger("0x1F", v));
    EXPECT_EQ(v, 31);
    EXPECT_FALSE(parseInteger("1.5", v));
    EXPECT_FALSE(parseInteger("", v));
    EXPECT_FALSE(parseInteger("12a", v));
    EXPECT_FALSE(parseInteger("99999999999999999999999", v));
}

TEST(FormatPattern, RequiredAndOptionalDecimals) {
    struct Case {
        double value;
        const char* pattern;
        const char* text;
    };
    const Case cases[] = {
        {1.25, "0.##", "1.25"},  {1.255, "0.##", "1.25"}, // binary 1.25499..
        {2, "0.##", "2"},        {-0.001, "0.##", "0"},       {0.1234567, "0.######", "0.123457"},
        {3.5, "0.000", "3.500"}, {3.14159, "0.0#", "3.14"},   {3, "0.0#", "3.0"},
        {2.5, "0", "2"},         {1234567.0, "G", "1234567"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatPattern(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
}
