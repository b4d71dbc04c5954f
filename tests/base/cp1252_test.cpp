#include "base/cp1252.h"

#include <gtest/gtest.h>

using namespace getkelo;

TEST(Cp1252, RoundTripOfGermanTextAndSpecialSigns) {
    const std::string utf8 = "Übernehmen °C Fluss < 0 € ß";
    std::string single = utf8ToCp1252(utf8);
    EXPECT_EQ(single[0], '\xDC');
    EXPECT_NE(single.find('\xB0'), std::string::npos);
    EXPECT_NE(single.find('\x80'), std::string::npos); // euro sign
    EXPECT_EQ(cp1252ToUtf8(single), utf8);
}

TEST(Cp1252, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1252("a\xE2\x86\x92"
                           "b"),
              "a?b"); // U+2192 arrow
}

TEST(Cp1252, SingleByteInputSurvivesTheUtf8Direction) {
    // A file that is already Windows-1252 must not be destroyed when written again.
    std::string raw = "Ger\xE4t";
    EXPECT_EQ(utf8ToCp1252(raw), raw);
}

// Found by fuzzing: "\xC1\x93" became 'S', so a settings name changed its case folding when
// written back. Forms that are no UTF-8 stay bytes.
TEST(Cp1252, OverlongSurrogateAndOutOfRangeFormsStayBytes) {
    for (const std::string raw :
         {"\xC1\x93", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_EQ(utf8ToCp1252(raw), raw) << cp1252ToUtf8(raw);
}
