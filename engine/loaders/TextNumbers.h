#pragma once

#include <cstdint>

// Number conversion for the text-format readers, on words that lie in a
// buffer without a terminating NUL. Each function reads the longest numeric
// prefix of [first, last) exactly as its C library counterpart would read the
// word, and ignores what follows it.

namespace VESK {

// Equals (float)atof of the word in the C locale, bit for bit: correctly
// rounded to double, then narrowed; 0 when the word does not begin with a
// number. The byte at `last` must be readable (the readers' blocks end with a
// line feed).
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
