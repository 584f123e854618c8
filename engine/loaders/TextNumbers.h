#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Number conversion for the text-format readers, on words that lie in a
// buffer without a terminating NUL. Each function reads the longest numeric
// prefix of [first, last) exactly as its C library counterpart would read the
// word, and ignores what follows it.

namespace VESK {

// Digits are read eight bytes at a time, also at a word's last byte: every
// text handed to a reader is followed by this many readable bytes.
constexpr std::size_t readAheadBytes = 8;

// Appends the decimal digits at `cursor`, at most eight, to `value` (as
// value * 10^count + digits) and returns their count; readAheadBytes
// readable bytes at `cursor` are needed. The first byte read is the lowest of
// the word.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "digits are read as little-endian words");
inline int readDigits(const char* cursor, std::uint64_t& value)
{
    std::uint64_t bytes;
    static_assert(sizeof(bytes) == readAheadBytes, "one read of digits is the read-ahead");
    std::memcpy(&bytes, cursor, sizeof(bytes));
    // Each byte minus '0': a digit leaves 0 to 9, and the first other byte,
    // whatever follows it, sets its top bit here or after adding 0x76.
    std::uint64_t values = bytes - 0x3030303030303030ull;
    const std::uint64_t others = (values | (values + 0x7676767676767676ull)) & 0x8080808080808080ull;
    const int count = others == 0 ? 8 : __builtin_ctzll(others) / 8;
    if (count == 0)
        return 0;
    // Keep the digits, first digit in the lowest byte as read, as the last
    // bytes, so that the bytes before them count as leading zeros; then sum
    // neighbouring bytes, pairs and quadruples with one multiplication each.
    values <<= 8 * (8 - count);
    values = (values * 10) + (values >> 8);
    values = (((values & 0x000000FF000000FFull) * 0x000F424000000064ull) +
              (((values >> 16) & 0x000000FF000000FFull) * 0x0000271000000001ull)) >> 32;
    static const std::uint64_t powersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    value = value * powersOfTen[count] + (values & 0xFFFFFFFFull);
    return count;
}

// Equals (float)atof of the word in the C locale, bit for bit: correctly
// rounded to double, then narrowed; 0 when the word does not begin with a
// number.
float readFloat(const char* first, const char* last);

// Reads the word starting at `first` as readFloat does, in one pass for the
// plain decimals files are mostly made of; the word ends at the first white
// space, which must be there. Returns the word's end.
const char* readFloatWord(const char* first, float& result);

// The value atoi gives for the word, as a 64-bit number so that out-of-range
// values stay visible: values beyond the int range come back as INT64_MAX or
// INT64_MIN instead of wrapping. 0 when the word does not begin with a number.
std::int64_t readInteger(const char* first, const char* last);

}  // namespace VESK
