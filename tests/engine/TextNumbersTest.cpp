#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "engine/loaders/TextNumbers.h"

using VESK::readFloat;
using VESK::readInteger;

namespace {

std::uint32_t bitsOf(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

// Words as the readers hand them over: not NUL-terminated, followed by a blank
// and more readable bytes.
float readWord(const std::string& word)
{
    const std::string line = word + " 9999999";
    return readFloat(line.data(), line.data() + word.size());
}

}  // namespace

TEST(TextNumbersTest, ReadFloatEqualsAtofBitForBit)
{
    const char* const words[] = {"0", "-0", "+0", "1", "-1", "+1.5", ".5", "-.5", "5.", "1e10", "1E-10", "1e", "1e+",
                                 "1.5e+x", "0x1p3", "-0x1.8p1", "0X.8P1", "0x", "0xg", "inf", "-INF", "infinity",
                                 "infin", "nan", "-nan", "nan(123)", "nan(0x7ffff)", "NaN(", "1e400", "-1e400",
                                 "1e-400", "1.4e-45", "7e-46", "3.4028235e38", "3.4028236e38", "1.00000005960464477539",
                                 "0.1", "123456789012345678901234567890", "1,5", "1.5;;", ";;", "-", "+", ".", "-.",
                                 "e5", "00x1", "0.000000000000000000000000000000000000000000001"};
    for (const char* word : words)
        EXPECT_EQ(bitsOf(readWord(word)), bitsOf(static_cast<float>(std::atof(word)))) << word;

    std::mt19937 random(11);
    const std::string alphabet = "0123456789.-+eExXpPinfaNIF(";
    for (int round = 0; round < 20000; ++round) {
        std::string word;
        const std::size_t length = 1 + random() % 24;
        for (std::size_t i = 0; i < length; ++i)
            word += alphabet[random() % (i == 0 ? alphabet.size() : 13)];
        EXPECT_EQ(bitsOf(readWord(word)), bitsOf(static_cast<float>(std::atof(word.c_str())))) << word;
    }
    // Plain decimals around the limits of exact double arithmetic: 15 and 16
    // significant digits, 22 and 23 digits after the point.
    for (int round = 0; round < 20000; ++round) {
        std::string word = random() % 2 == 0 ? "-" : "";
        for (std::size_t i = random() % 12; i > 0; --i)
            word += static_cast<char>('0' + random() % 10);
        word += '.';
        for (std::size_t i = random() % 26; i > 0; --i)
            word += static_cast<char>('0' + random() % 10);
        EXPECT_EQ(bitsOf(readWord(word)), bitsOf(static_cast<float>(std::atof(word.c_str())))) << word;
    }
}

TEST(TextNumbersTest, ReadIntegerEqualsAtoiAndKeepsOverflowVisible)
{
    for (const char* word : {"7", "+7", "-7", "0", "-0", "12abc", "abc", "", "-", "2147483647", "-2147483648", "007"}) {
        const std::string line = std::string(word) + "/";
        EXPECT_EQ(readInteger(line.data(), line.data() + line.size() - 1), std::atoi(word)) << word;
    }
    const std::string big = "2147483648";
    EXPECT_EQ(readInteger(big.data(), big.data() + big.size()), INT64_MAX);
    const std::string small = "-99999999999999999999999";
    EXPECT_EQ(readInteger(small.data(), small.data() + small.size()), INT64_MIN);
}
