#include "TextureLine.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "engine/loaders/CPictureLoader.h"
#include "engine/loaders/StringUtils.h"

namespace {

// The options of a map_Kd line and the number of words after each: a fixed
// count, or up to three numbers (-o, -s, -t give one to three).
struct Option {
    const char* name;
    int words;
    bool numbers;
    bool placement;
};
const Option options[] = {
    {"-o", 3, true, true},        {"-s", 3, true, true},         {"-t", 3, true, true},
    {"-clamp", 1, false, true},   {"-blendu", 1, false, false},  {"-blendv", 1, false, false},
    {"-bm", 1, false, false},     {"-boost", 1, false, false},   {"-cc", 1, false, false},
    {"-colorspace", 1, false, false}, {"-imfchan", 1, false, false}, {"-mm", 2, false, false},
    {"-texres", 1, false, false}, {"-type", 1, false, false},
};

bool isNumber(const std::string& word)
{
    char* end = nullptr;
    std::strtod(word.c_str(), &end);
    return !word.empty() && *end == '\0';
}

}  // namespace

TextureLine::TextureLine(const std::vector<std::string>& words)
{
    std::size_t i = 0;
    while (i < words.size()) {
        const Option* option = std::find_if(std::begin(options), std::end(options),
                                            [&](const Option& o) { return words[i] == o.name; });
        if (option == std::end(options))
            break;
        if (option->placement)
            placementOptions.push_back(words[i]);
        ++i;
        for (int n = 0; n < option->words && i < words.size() && (!option->numbers || isNumber(words[i])); ++n)
            ++i;
    }
    for (; i < words.size(); ++i)
        picture += (picture.empty() ? "" : " ") + words[i];
    readAsWritten = words.size() == 1 && picture == words[0] && hasPictureExtension(picture);
}

std::string TextureLine::viewerName() const
{
    std::string name = picture;
    for (char& c : name) {
        if (VESK::isWordSpace(c))
            c = '_';
        else if (c == '\\')
            c = '/';
    }
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && name.find('/', dot) == std::string::npos)
        std::transform(name.begin() + dot, name.end(), name.begin() + dot,
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

bool hasPictureExtension(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    const std::vector<std::string> extensions = VESK::splitWords(VESK::CPictureLoader::extensionList);
    return dot != std::string::npos &&
           std::find(extensions.begin(), extensions.end(), name.substr(dot + 1)) != extensions.end();
}
