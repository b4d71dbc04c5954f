#include "base/text_cut.h"

#include <gtest/gtest.h>

using namespace getkelo;

TEST(CutToCharacters, NeverSplitsAMultiByteCharacter) {
    const std::string permille = "\u2030"; // three bytes
    EXPECT_EQ(cutToCharacters("ln/min", 11), "ln/min");
    EXPECT_EQ(cutToCharacters("abcdefghijklm", 11), "abcdefghijk");
    EXPECT_EQ(cutToCharacters(permille + permille + permille, 2), permille + permille);
    EXPECT_EQ(cutToCharacters("\u00B0C\u00B0C", 3), "\u00B0C\u00B0");
    EXPECT_EQ(cutToCharacters("abc", 0), "");
    // A stray continuation byte stays with the character before it.
    EXPECT_EQ(cutToCharacters("a\x80"
                              "b",
                              1),
              "a\x80");
}
