#include "base/ini_file.h"
#include "calib/list_helpers.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace getkelo {
namespace {

TEST(ParseFloatList, ANumberAtTheStartAndAfterEverySemicolon) {
    struct Case {
        const char* text;
        std::vector<double> values;
    };
    const Case cases[] = {
        {"", {0}},           {"1.5", {1.5}},     {"1.5;2;-3e2", {1.5, 2, -300}},
        {"1,5;2", {1, 2}}, // only "." is a decimal point in files
        {"a;;7", {0, 0, 7}}, {" 4 ;5x", {4, 5}}, {"1;2;", {1, 2, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseFloatList(c.text), c.values) << c.text;
    EXPECT_EQ(ParseIntList("3;-4;x;9.9"), (std::vector<long long>{3, -4, 0, 9}));
    EXPECT_EQ(ParseIntList(""), std::vector<long long>{0});
}

TEST(AppendFormatted, SemicolonsOnlyBetweenValues) {
    std::string list;
    AppendFormatted(list, "0.######", 1.0 / 3);
    AppendFormatted(list, "0.######", 2);
    AppendFormatted(list, "0.##", -0.004);
    EXPECT_EQ(list, "0.333333;2;0");
}

TEST(JoinGridRow, DropsTheLabelAndEndsAtTheFirstEmptyPair) {
    struct Case {
        std::vector<std::string> row;
        const char* text;
    };
    const Case cases[] = {
        {{"Ref", "1", "2", "3", "", "", ""}, "1;2;3"},
        {{"Ref", "1", "2", "3"}, "1;2;3"},
        {{"Ref", "1", "2", ""}, "1;2"},
        {{"Ref", "1", "", "3"}, "1"},
        {{"Ref", "", "", "3"}, ""},
        {{"Ref"}, ""},
        {{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JoinGridRow(c.row), c.text) << c.text;
}

TEST(NumberHelpers, ClampDivideVersion) {
    EXPECT_EQ(ClampValue(-1, 0, 1), 0);
    EXPECT_EQ(ClampValue(2, 0, 1), 1);
    EXPECT_EQ(ClampValue(0.5, 0, 1), 0.5);
    EXPECT_EQ(SafeDivide(1, 4), 0.25);
    EXPECT_EQ(SafeDivide(1, 0), 3.4e38);
    EXPECT_EQ(ParseVersion("4.3.14"), 0x43E);
    EXPECT_EQ(ParseVersion("2.1"), 0x210);
    EXPECT_EQ(ParseVersion("x"), 0);
    EXPECT_EQ(FormatVersion(0x43E), "4.3.14");
    EXPECT_EQ(FormatVersion(ParseVersion("1.2.3")), "1.2.03");
}

TEST(WriteIfNotEmpty, EmptyValuesLeaveNoKey) {
    auto dir = std::filesystem::temp_directory_path() / "getkelo_write_if_not_empty";
    std::filesystem::create_directories(dir);
    IniFile f((dir / "d.dat").string());
    EXPECT_TRUE(WriteIfNotEmpty(f, "DATA0", "Remark", ""));
    EXPECT_TRUE(WriteIfNotEmpty(f, "DATA0", "Gas", "N2"));
    EXPECT_FALSE(f.valueExists("DATA0", "Remark"));
    EXPECT_EQ(f.readString("DATA0", "Gas"), "N2");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace getkelo
