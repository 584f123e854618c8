#include <gtest/gtest.h>

#include "engine/loaders/StringUtils.h"

using VESK::splitWords;
using VESK::toLower;
using Words = std::vector<std::string>;

TEST(StringUtilsTest, SplitWordsSeparatesOnExactlyTheSixWhiteSpaceCharacters)
{
    EXPECT_EQ(splitWords(""), Words{});
    EXPECT_EQ(splitWords(" \t\r\n\v\f"), Words{});
    EXPECT_EQ(splitWords("a b\tc\rd\ne\vf\fg"), (Words{"a", "b", "c", "d", "e", "f", "g"}));
    EXPECT_EQ(splitWords("  lead  and   trail \r\n"), (Words{"lead", "and", "trail"}));
    const std::string others = std::string("x\x01y\x7fz\xa0w", 8) + std::string(1, '\0') + "v";
    EXPECT_EQ(splitWords(others), Words{others});
    EXPECT_EQ(splitWords(std::string("a\0b c", 5)), (Words{std::string("a\0b", 3), "c"}));
}

TEST(StringUtilsTest, ToLowerChangesOnlyAsciiLetters)
{
    EXPECT_EQ(toLower("BMP Jpg obj"), "bmp jpg obj");
    EXPECT_EQ(toLower("A-Z_09\xc3\x89"), "a-z_09\xc3\x89");
}
