#include "calib/list_helpers.h"

#include <gtest/gtest.h>

namespace getkelo {
namespace {

TEST(ListHelpers, ParseAppendJoin) {
    using V = std::vector<double>;
    EXPECT_EQ(ParseFloatList(""), V{0});
    EXPECT_EQ(ParseFloatList("1.5;2;-3e2"), (V{1.5, 2, -300}));
    EXPECT_EQ(ParseFloatList("1,5;a;;7"), (V{1, 0, 0, 7})) << "only \".\" in files";
    EXPECT_EQ(ParseIntList("3;-4;x;9.9"), (std::vector<long long>{3, -4, 0, 9}));
    std::string list;
    AppendFormatted(list, "0.######", 1.0 / 3);
    AppendFormatted(list, "0.##", -0.004);
    EXPECT_EQ(list, "0.333333;0");
    using Row = std::vector<std::string>;
    EXPECT_EQ(JoinGridRow(Row{"Ref", "1", "2", "3", "", "", ""}), "1;2;3");
    EXPECT_EQ(JoinGridRow(Row{"Ref", "1", "2", ""}), "1;2") << "never a \";\" at the end";
    EXPECT_EQ(JoinGridRow(Row{"Ref", "1", "", "3"}), "1");
    EXPECT_EQ(JoinGridRow(Row{}), "");
}

TEST(NumberHelpers, ClampDivideVersion) {
    EXPECT_EQ(ClampValue(-1, 0, 1), 0);
    EXPECT_EQ(ClampValue(2, 0, 1), 1);
    EXPECT_EQ(SafeDivide(1, 4), 0.25);
    EXPECT_EQ(SafeDivide(1, 0), 3.4e38);
    EXPECT_EQ(ParseVersion("4.3.14"), 0x43E);
    EXPECT_EQ(ParseVersion("2.1"), 0x210);
    EXPECT_EQ(FormatVersion(ParseVersion("1.2.3")), "1.2.03");
}

} // namespace
} // namespace getkelo
