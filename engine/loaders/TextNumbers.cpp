#include "TextNumbers.h"

#include <fast_float/fast_float.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "StringUtils.h"

namespace VESK {

namespace {

bool isDigit(char c)
{
    return static_cast<unsigned char>(c - '0') < 10;
}

// The forms fast_float does not read like strtod (a leading '+', hex floats,
// inf and nan with their payloads, no number at all) go to strtod itself, on a
// NUL-terminated copy of the word.
float readFloatSlowly(const char* first, const char* last)
{
    const std::size_t length = static_cast<std::size_t>(last - first);
    char local[128];
    if (length < sizeof(local)) {
        std::memcpy(local, first, length);
        local[length] = '\0';
        return static_cast<float>(std::strtod(local, nullptr));
    }
    const std::string copy(first, length);
    return static_cast<float>(std::strtod(copy.c_str(), nullptr));
}

// Plain decimals of up to 15 significant digits with up to 22 after the
// point, the form nearly every exported file uses: the digits make an exact
// double and so does the power of ten, so one correctly rounded division gives
// exactly what strtod gives. Returns where the decimal ends, or null for
// every other form.
const char* readShortDecimal(const char* first, float& result)
{
    static const double powersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const bool negative = *first == '-';
    const char* cursor = first + (negative ? 1 : 0);
    std::uint64_t digits = 0;
    int count = 0;
    int afterPoint = 0;
    // Coordinates mostly have one to three digits before the point: read one
    // at a time, they cost less than the eight-byte read.
    for (; isDigit(*cursor) && count <= 15; ++cursor, ++count)
        digits = digits * 10 + static_cast<unsigned char>(*cursor - '0');
    if (*cursor == '.') {
        const char* fraction = ++cursor;
        for (int run = 8; run == 8 && count <= 15; count += run)
            cursor += run = readDigits(cursor, digits);
        afterPoint = static_cast<int>(cursor - fraction);
    }
    if (count == 0 || count > 15 || afterPoint > 22)
        return nullptr;
    const double value = static_cast<double>(digits) / powersOfTen[afterPoint];
    result = static_cast<float>(negative ? -value : value);
    return cursor;
}

}  // namespace

float readFloat(const char* first, const char* last)
{
    float result;
    if (readShortDecimal(first, result) == last)
        return result;
    const char* digits = first + (*first == '-' ? 1 : 0);
    const bool plainDecimal =
        (isDigit(digits[0]) && !(digits[0] == '0' && (digits[1] | 0x20) == 'x')) ||
        (digits[0] == '.' && isDigit(digits[1]));
    if (plainDecimal && digits < last) {
        double value;
        const fast_float::from_chars_result result = fast_float::from_chars(first, last, value);
        if (result.ec == std::errc())
            return static_cast<float>(value);
    }
    return readFloatSlowly(first, last);
}

const char* readFloatWord(const char* first, float& result)
{
    const char* last = readShortDecimal(first, result);
    if (last != nullptr && isWordSpace(*last))
        return last;
    last = first;
    while (!isWordSpace(*last))
        ++last;
    result = readFloat(first, last);
    return last;
}

std::int64_t readInteger(const char* first, const char* last)
{
    bool negative = false;
    if (first < last && (*first == '-' || *first == '+')) {
        negative = *first == '-';
        ++first;
    }
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::numeric_limits<int>::max();
    for (; first < last && isDigit(*first); ++first) {
        if (value <= limit)
            value = value * 10 + (*first - '0');
    }
    if (value > limit + (negative ? 1 : 0))
        return negative ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    return negative ? -value : value;
}

}  // namespace VESK
