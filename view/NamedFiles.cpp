#include "NamedFiles.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "engine/loaders/CTextFileReader.h"
#include "engine/loaders/StringUtils.h"

namespace {

// The names that the lines of the file beginning with the keyword give: the
// words after it, all of them or only the first.
std::vector<std::string> readNames(const std::string& file, const std::string& keyword, bool allWords)
{
    std::vector<std::string> names;
    std::set<std::string> seen;  // so that a file of many names still reads in linear time
    VESK::CTextFileReader reader;
    if (!reader.open(file))
        return names;
    char* begin;
    char* end;
    while (reader.nextBlock(begin, end)) {
        for (const char* line = begin; line < end;) {
            const char* lineEnd = static_cast<const char*>(std::memchr(line, '\n', std::size_t(end - line)));
            const char* word = line;
            while (word < lineEnd && VESK::isWordSpace(*word))
                ++word;
            // Most lines are not the keyword's: only its lines are split.
            if (std::size_t(lineEnd - word) > keyword.size() && std::equal(keyword.begin(), keyword.end(), word)
                && VESK::isWordSpace(word[keyword.size()])) {
                std::vector<std::string> words = VESK::splitWords(std::string(word + keyword.size(), lineEnd));
                words.resize(allWords ? words.size() : std::min<std::size_t>(words.size(), 1));
                for (std::string& name : words)
                    if (seen.insert(name).second)
                        names.push_back(std::move(name));
            }
            line = lineEnd + 1;
        }
    }
    return names;
}

}  // namespace

std::vector<std::string> readMtlNames(const std::string& objFile)
{
    return readNames(objFile, "mtllib", true);
}

std::vector<std::string> readPictureNames(const std::string& mtlFile)
{
    return readNames(mtlFile, "map_Kd", false);
}
