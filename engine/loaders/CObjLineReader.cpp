#include "CObjLineReader.h"

#include <cstring>
#include <limits>

#include "CObjRefusal.h"
#include "LineWords.h"
#include "TextNumbers.h"

namespace VESK {

namespace {

constexpr std::uint64_t maximumCorners = 0xFFFFFFFFu;

// True when the line at `cursor` starts with the word `keyword`. Stops at the
// first difference, so it never reads past the line's feed.
bool startsWithKeyword(const char* cursor, const char* keyword)
{
    for (; *keyword != '\0'; ++cursor, ++keyword) {
        if (*cursor != *keyword)
            return false;
    }
    return isWordSpace(*cursor);
}

const char* readName(const char* cursor, std::string& name)
{
    cursor = skipBlanks(cursor);
    const char* last = wordEnd(cursor);
    name.assign(cursor, last);
    return last;
}

}  // namespace

CObjLineReader::CObjLineReader(Lists& lists, FaceSink& sink, bool outline)
    : lists(lists), sink(sink), outline(outline)
{
}

// Each line is read up to where its reading stops, and only the rest of it
// is then passed over to its feed: one pass over most lines. Continued lines
// are first joined in place, in the blocks that have a backslash at all.
// Every first word but those below leaves the line without effect.
void CObjLineReader::readBlock(char* line, char* end)
{
    const bool mayContinue = std::memchr(line, '\\', static_cast<std::size_t>(end - line)) != nullptr;
    while (line < end) {
        ++lineNumber;
        std::uint64_t joined = 0;
        if (mayContinue)
            endOfLine(line, end, joined);
        const char* cursor = skipBlanks(line);
        const char c = cursor[0];
        if (c == 'v') {
            if (isWordSpace(cursor[1])) {
                cursor = readVector(cursor + 1, "v", lists.positions, 3);
            } else if (cursor[1] == 't' && isWordSpace(cursor[2])) {
                if (!texCoordsSeen)
                    widenLayout(normalsSeen, true);
                // An outline keeps texture coordinates only while the file shows no normals.
                cursor = readVector(cursor + 2, "vt", lists.texCoords, 1, !outline || lists.normals.size() == 0);
            } else if (cursor[1] == 'n' && isWordSpace(cursor[2])) {
                if (!normalsSeen)
                    widenLayout(true, texCoordsSeen);
                cursor = readVector(cursor + 2, "vn", lists.normals, 3, !outline);
            }
        } else if (c == 'f' && isWordSpace(cursor[1])) {
            cursor = readFace(cursor + 1);
        } else if (c == 'u' && startsWithKeyword(cursor, "usemtl")) {
            cursor = readMaterialMark(cursor + 6);
        } else if (c == 'm' && startsWithKeyword(cursor, "mtllib")) {
            cursor = readMtlNames(cursor + 6);
        }
        lineNumber += joined;
        while (*cursor != '\n')
            ++cursor;
        line = const_cast<char*>(cursor) + 1;
    }
}

// The feed that ends the line starting at `cursor`. A line whose last
// character is a backslash continues on the next: the backslash, a carriage
// return after it and the feed between the two read as blanks, and `joined`
// counts the feeds taken out. The block's last feed always stays.
char* CObjLineReader::endOfLine(char* cursor, char* end, std::uint64_t& joined) const
{
    for (;;) {
        char* const feed = static_cast<char*>(std::memchr(cursor, '\n', static_cast<std::size_t>(end - cursor)));
        char* last = feed;
        if (last > cursor && last[-1] == '\r')
            --last;
        if (last == cursor || last[-1] != '\\')
            return feed;
        std::memset(last - 1, ' ', static_cast<std::size_t>(feed - last) + 1);
        if (feed + 1 == end)
            return feed;
        *feed = ' ';
        ++joined;
        cursor = feed + 1;
    }
}

// Reads the numbers of one group of the list (three, or two for texture
// coordinates); a missing one reads as 0 once `wordsNeeded` are there, and a
// word starting with # ends the numbers. The second texture coordinate is
// stored negated.
const char* CObjLineReader::readVector(const char* cursor, const char* keyword, CGroupArray<float>& list,
                                       int wordsNeeded, bool keep)
{
    const int wordsUsed = static_cast<int>(list.groupSize());
    float values[3] = {0.0f, 0.0f, 0.0f};
    int count = 0;
    while (count < wordsUsed) {
        cursor = skipBlanks(cursor);
        if (*cursor == '\n' || *cursor == '#')
            break;
        cursor = keep ? readFloatWord(cursor, values[count]) : wordEnd(cursor);
        ++count;
    }
    if (count < wordsNeeded)
        refuseOnLine(lineNumber, std::string(keyword) + " needs " + (wordsNeeded == 3 ? "three numbers" : "a number"));
    // A list whose numbers are not kept is only counted: its storage is
    // never written, so its pages are never touched.
    float* group = list.append();
    if (!keep)
        return cursor;
    if (wordsUsed == 2) {
        group[0] = values[0];
        group[1] = -values[1];
    } else {
        std::memcpy(group, values, sizeof(values));
    }
    return cursor;
}

// A face of n vertex words gives the n - 2 triangles of a fan around its
// first word, in the file's winding; fewer than three words give none.
const char* CObjLineReader::readFace(const char* cursor)
{
    Corner first{};
    Corner previous{};
    std::size_t words = 0;
    for (;;) {
        cursor = skipBlanks(cursor);
        if (*cursor == '\n' || *cursor == '#')
            break;
        Corner corner;
        cursor = readCorner(cursor, corner);
        if (words == 0)
            first = corner;
        if (words >= 2) {
            if (cornersReadCount == cornersPerHandOver)
                handOverCorners();
            cornersRead[cornersReadCount++] = first;
            cornersRead[cornersReadCount++] = previous;
            cornersRead[cornersReadCount++] = corner;
            corners += 3;
        }
        previous = corner;
        ++words;
    }
    if (corners > maximumCorners)
        refuseOnLine(lineNumber, "more triangle corners than 32-bit indices allow");
    return cursor;
}

void CObjLineReader::handOverCorners()
{
    if (cornersReadCount == 0)
        return;
    sink.addCorners(cornersRead, cornersReadCount);
    cornersReadCount = 0;
}

// Cuts one vertex word into position/texture/normal components at '/'; an
// empty texture or normal component gives none. A negative index -k names the
// k-th last entry of its list read so far, so it becomes the absolute index
// here, while the lists have the length they had before this line; every
// index must then be at least 1. Plain digits, the usual case, are read in
// the same pass that finds the component's end.
const char* CObjLineReader::readCorner(const char* cursor, Corner& corner)
{
    std::int64_t indices[3] = {0, 0, 0};
    const char* componentEnd = cursor;
    for (int component = 0; component < 3; ++component) {
        const char* start = componentEnd;
        std::uint64_t digits = 0;
        for (int run = 8; run == 8 && digits <= std::numeric_limits<int>::max();)
            componentEnd += run = readDigits(componentEnd, digits);
        std::int64_t value = static_cast<std::int64_t>(digits);
        if (*componentEnd != '/' && !isWordSpace(*componentEnd)) {
            while (*componentEnd != '/' && !isWordSpace(*componentEnd))
                ++componentEnd;
            value = readInteger(start, componentEnd);
        }
        if (componentEnd > start) {
            const std::size_t available = component == 0   ? lists.positions.size()
                                          : component == 1 ? lists.texCoords.size()
                                                           : lists.normals.size();
            if (value < 0 && value >= -static_cast<std::int64_t>(available))
                value += static_cast<std::int64_t>(available) + 1;
            if (value <= 0 || value > std::numeric_limits<int>::max()) {
                static const char* const listNames[3] = {"position", "texture", "normal"};
                refuseOnLine(lineNumber, std::string(listNames[component]) + " index " +
                                             std::string(start, componentEnd) +
                                             (value > 0 ? " is too large" : " is not a positive number"));
            }
            indices[component] = value;
        } else if (component == 0) {
            refuseOnLine(lineNumber, "vertex word without a position index");
        }
        if (*componentEnd != '/')
            break;
        ++componentEnd;
    }
    corner = Corner{static_cast<std::uint32_t>(indices[0]), static_cast<std::uint32_t>(indices[1]),
                    static_cast<std::uint32_t>(indices[2])};
    if (corner.position > largestPosition.index)
        largestPosition = LargestReference{corner.position, lineNumber};
    if (corner.texCoord > largestTexCoord.index)
        largestTexCoord = LargestReference{corner.texCoord, lineNumber};
    if (corner.normal > largestNormal.index)
        largestNormal = LargestReference{corner.normal, lineNumber};
    return wordEnd(componentEnd);
}

const char* CObjLineReader::readMaterialMark(const char* cursor)
{
    std::string name;
    cursor = readName(cursor, name);
    if (!name.empty())
        marks.push_back(CMaterialMark{std::move(name), static_cast<std::uint32_t>(corners)});
    return cursor;
}

// Every word names an MTL file; a name already given is not added again.
const char* CObjLineReader::readMtlNames(const char* cursor)
{
    std::string name;
    for (cursor = readName(cursor, name); !name.empty(); cursor = readName(cursor, name)) {
        if (namesSeen.insert(name).second)
            names.push_back(name);
    }
    return cursor;
}

void CObjLineReader::widenLayout(bool withNormals, bool withTexCoords)
{
    handOverCorners();
    normalsSeen = withNormals;
    texCoordsSeen = withTexCoords;
    sink.widenLayout(withNormals, withTexCoords);
}

void CObjLineReader::finish()
{
    handOverCorners();
    checkReferences();
    if (corners == 0)
        throw CObjRefusal("no triangle to draw");
    // The names are needed once more, and the set of them no longer: a file
    // may name millions.
    std::set<std::string>().swap(namesSeen);
}

// Refuses faces naming data beyond the lists read: a corner cannot do without
// its position, even in a file without v lines; indices into a list the file
// has no line of are ignored.
void CObjLineReader::checkReferences() const
{
    const struct {
        const LargestReference& reference;
        std::size_t available;
        const char* name;
        bool mayBeAbsent;
    } checked[3] = {{largestPosition, lists.positions.size(), "position", false},
                    {largestTexCoord, lists.texCoords.size(), "texture", true},
                    {largestNormal, lists.normals.size(), "normal", true}};
    for (const auto& list : checked) {
        if ((list.available > 0 || !list.mayBeAbsent) && list.reference.index > list.available)
            refuseOnLine(list.reference.line, std::string(list.name) + " index " +
                                                  std::to_string(list.reference.index) + " beyond the " +
                                                  std::to_string(list.available) + " read");
    }
}

void CObjLineReader::refuseOnLine(std::uint64_t line, const std::string& reason) const
{
    throw CObjRefusal("line " + std::to_string(line) + ": " + reason);
}

}  // namespace VESK
