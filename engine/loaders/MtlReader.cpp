#include "MtlReader.h"

#include <cstdint>
#include <cstring>

#include "CTextBlock.h"
#include "LineWords.h"
#include "StringUtils.h"
#include "TextNumbers.h"

namespace VESK {

namespace {

// One line of the file: its first four words, all that any keyword uses.
struct MtlLine {
    std::uint64_t number = 0;
    const char* first[4] = {};
    const char* last[4] = {};
    int wordCount = 0;
    const char* feed = nullptr;

    bool is(const char* keyword) const
    {
        const std::size_t length = std::strlen(keyword);
        return static_cast<std::size_t>(last[0] - first[0]) == length && std::memcmp(first[0], keyword, length) == 0;
    }

    float numberAt(int word) const { return readFloat(first[word], last[word]); }
};

// What the reading of one file carries from line to line.
struct MtlReading {
    std::vector<CNamedMaterial>& materials;
    const std::size_t materialsBefore;
    std::vector<CObjOutline::TextureLine>* textureLines;
    const std::size_t mtlFile;
    float alpha = 1.0f;

    // The material the lines change: the file's last newmtl, if any.
    CNamedMaterial* current() { return materials.size() > materialsBefore ? &materials.back() : nullptr; }
};

// Splits the line at `cursor` and moves `cursor` past its feed.
MtlLine nextLine(const char*& cursor, const char* end, std::uint64_t number)
{
    MtlLine line;
    line.number = number;
    for (cursor = skipBlanks(cursor); *cursor != '\n' && line.wordCount < 4; cursor = skipBlanks(cursor)) {
        line.first[line.wordCount] = cursor;
        cursor = wordEnd(cursor);
        line.last[line.wordCount++] = cursor;
    }
    line.feed = static_cast<const char*>(std::memchr(cursor, '\n', static_cast<std::size_t>(end - cursor)));
    cursor = line.feed + 1;
    return line;
}

// newmtl NAME: a material with the default values; its colours are opaque
// until a d or Tr line. Several materials may bear one name.
void readNewMaterial(const MtlLine& line, MtlReading& reading)
{
    reading.materials.emplace_back();
    reading.materials.back().name.assign(line.first[1], line.last[1]);
    reading.alpha = 1.0f;
}

// d and Tr: the alpha of the colours that follow in the same material.
void readAlpha(const MtlLine& line, MtlReading& reading)
{
    reading.alpha = line.numberAt(1);
}

// Ns: the shininess as written (files commonly use 0 to 1000).
void readShininess(const MtlLine& line, CNamedMaterial& material)
{
    material.material.shininess = line.numberAt(1);
}

// Ka, Kd and Ks with three numbers: red, green, blue and the current alpha.
void readColour(const MtlLine& line, const MtlReading& reading, CMyVector<float, 4>& colour)
{
    for (int i = 0; i < 3; ++i)
        colour[i] = line.numberAt(i + 1);
    colour[3] = reading.alpha;
}

// map_Kd: the texture name is the word after the keyword, options and all;
// an outline keeps every word of the line, for whoever reads them otherwise.
void readTexture(const MtlLine& line, MtlReading& reading, CNamedMaterial& material)
{
    material.textureName.assign(line.first[1], line.last[1]);
    if (reading.textureLines != nullptr)
        reading.textureLines->push_back(CObjOutline::TextureLine{reading.mtlFile, line.number,
                                                                 reading.materials.size() - 1,
                                                                 splitWords(std::string(line.first[1], line.feed))});
}

void readLine(const MtlLine& line, MtlReading& reading)
{
    if (line.wordCount < 2)
        return;
    if (line.is("newmtl")) {
        readNewMaterial(line, reading);
        return;
    }
    CNamedMaterial* material = reading.current();
    if (material == nullptr)
        return;
    if (line.is("d") || line.is("Tr"))
        readAlpha(line, reading);
    else if (line.is("Ns"))
        readShininess(line, *material);
    else if (line.is("map_Kd"))
        readTexture(line, reading, *material);
    else if (line.wordCount == 4 && line.is("Ka"))
        readColour(line, reading, material->material.ambient);
    else if (line.wordCount == 4 && line.is("Kd"))
        readColour(line, reading, material->material.diffuse);
    else if (line.wordCount == 4 && line.is("Ks"))
        readColour(line, reading, material->material.specular);
}

}  // namespace

void readMaterials(const char* bytes, std::size_t size, std::vector<CNamedMaterial>& materials,
                   std::vector<CObjOutline::TextureLine>* textureLines, std::size_t mtlFile)
{
    const CTextBlock text(bytes, size);
    MtlReading reading{materials, materials.size(), textureLines, mtlFile};
    std::uint64_t lineNumber = 0;
    for (const char* cursor = text.begin(); cursor < text.end();)
        readLine(nextLine(cursor, text.end(), ++lineNumber), reading);
}

}  // namespace VESK
