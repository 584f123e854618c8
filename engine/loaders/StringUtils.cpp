#include "StringUtils.h"

#include <cctype>

namespace VESK {

std::string toLower(const std::string& text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::vector<std::string> splitWords(const std::string& text)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isWordSpace(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !isWordSpace(text[i]))
            ++i;
        if (i > start)
            words.emplace_back(text, start, i - start);
    }
    return words;
}

}  // namespace VESK
