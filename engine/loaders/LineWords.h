#pragma once

#include "StringUtils.h"

// Walking the words of one line in a block of text whose lines all end in a
// line feed (CTextFileReader, CTextBlock): no step needs the block's end.

namespace VESK {

// A blank that separates words inside a line; the line feed ends the line.
inline bool isBlank(char c)
{
    return c != '\n' && isWordSpace(c);
}

inline const char* skipBlanks(const char* cursor)
{
    while (isBlank(*cursor))
        ++cursor;
    return cursor;
}

inline const char* wordEnd(const char* cursor)
{
    while (!isWordSpace(*cursor))
        ++cursor;
    return cursor;
}

}  // namespace VESK
