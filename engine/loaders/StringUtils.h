#pragma once

#include <string>
#include <vector>

// Text helpers shared by the loader factory and the text-format readers.

namespace VESK {

// A copy of the text with every character passed through tolower (C locale).
std::string toLower(const std::string& text);

// The words of the text: maximal runs of characters other than space, tab,
// CR, LF, VT and FF.
std::vector<std::string> splitWords(const std::string& text);

// True for exactly the six white-space characters that separate words.
inline bool isWordSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace VESK
