#include "base/integer_parse.h"

#include <climits>
#include <gtest/gtest.h>

using namespace getkelo;

TEST(ParseInteger, OverflowIsRefusedBeforeItWraps) {
    struct Case {
        const char* text;
        bool ok;
        long long value;
    };
    const Case cases[] = {
        {" 42 ", true, 42},
        {"-7", true, -7},
        {"0x1F", true, 31},
        {"$ff", true, 255},
        {"9223372036854775807", true, LLONG_MAX},
        {"-9223372036854775808", true, LLONG_MIN},
        {"9223372036854775808", false, 0},
        {"-9223372036854775809", false, 0},
        {"18446744073709551617", false, 0}, // 2^64 + 1 wrapped to 1
        {"18446744073709552118", false, 0}, // 2^64 + 502 wrapped to 502
        {"0x10000000000000001", false, 0},
        {"0x7FFFFFFFFFFFFFFF", true, LLONG_MAX},
        {"99999999999999999999999", false, 0},
        {"1.5", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"0x", false, 0},
        {"12a", false, 0},
    };
    for (const auto& c : cases) {
        long long v = 0;
        EXPECT_EQ(parseInteger(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    long long v = 0;
    EXPECT_TRUE(parseIntegerIn("247", 1, 247, v));
    EXPECT_FALSE(parseIntegerIn("248", 1, 247, v));
    EXPECT_FALSE(parseIntegerIn("18446744073709551617", 1, 247, v));
}

TEST(LeadingInteger, ReadsLikeAtoiButHoldsToItsLimits) {
    struct Case {
        const char* text;
        long long min, max, value;
        size_t end;
    };
    const Case cases[] = {
        {" 12abc", 0, 100, 12, 3},
        {"abc", -5, 5, 0, 0},
        {"-3.5", -5, 5, -3, 2},
        {"18446744073709551617", 0, 65535, 65535, 20},
        {"-99999999999999999999", -10, 10, -10, 21},
        {"9223372036854775808", LLONG_MIN, LLONG_MAX, LLONG_MAX, 19},
        {"700", 0, 255, 255, 3},
    };
    for (const auto& c : cases) {
        size_t end = 99;
        EXPECT_EQ(leadingInteger(c.text, c.min, c.max, &end), c.value) << c.text;
        EXPECT_EQ(end, c.end) << c.text;
    }
    size_t end = 0;
    EXPECT_EQ(leadingInteger("1.22.3", 0, 255, &end, 2), 22);
    EXPECT_EQ(end, 4u);
}
