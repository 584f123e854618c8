#include "CObjLoader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>

#include "../../debugging/CException.h"
#include "CTextFileReader.h"
#include "StringUtils.h"
#include "TextNumbers.h"

namespace VESK {

namespace {

constexpr std::uint32_t noVertex = 0xFFFFFFFFu;
constexpr std::uint64_t maximumCorners = 0xFFFFFFFFu;

// A blank that separates words inside a line; the line feed ends the line.
bool isBlank(char c)
{
    return c != '\n' && isWordSpace(c);
}

const char* skipBlanks(const char* cursor)
{
    while (isBlank(*cursor))
        ++cursor;
    return cursor;
}

const char* wordEnd(const char* cursor)
{
    while (!isWordSpace(*cursor))
        ++cursor;
    return cursor;
}

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

bool wordEquals(const char* first, const char* last, const char* keyword)
{
    const std::size_t length = std::strlen(keyword);
    return static_cast<std::size_t>(last - first) == length && std::memcmp(first, keyword, length) == 0;
}

}  // namespace

CObjLoader::CObjLoader() : VLoader("obj") {}

CObjLoader::~CObjLoader() = default;

void CObjLoader::saveToFile(void*, std::string) {}

void* CObjLoader::loadFromFile(std::string path)
{
    resetLists();
    objPath = path;
    try {
        readFile(path);
        buildVertices();
        CMeshData* record = makeRecord();
        resetLists();
        return record;
    } catch (...) {
        resetLists();
        rethrowAsFailure();
    }
}

CObjOutline CObjLoader::readOutline(const std::string& path)
{
    resetLists();
    objPath = path;
    CObjOutline result;
    outline = &result;
    outlineCorners = 0;
    try {
        readFile(path);
        finishOutline();
    } catch (...) {
        outline = nullptr;
        resetLists();
        rethrowAsFailure();
    }
    outline = nullptr;
    resetLists();
    return result;
}

// Called from a handler: the failure in flight as the loader's CException.
void CObjLoader::rethrowAsFailure() const
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        fail("out of memory");
    } catch (const std::length_error&) {
        fail("too large for 32-bit indices");
    }
}

void CObjLoader::resetLists()
{
    vertexData.reset(3);
    indexData.clear(1);
    std::vector<CNamedMaterial>().swap(materials);
    std::vector<CMaterialMark>().swap(materialMarks);
    positions.clear(3);
    normals.clear(3);
    texCoords.clear(2);
    std::vector<FaceCorner>().swap(pendingCorners);
    tripleQueue = CornerQueue();
    vertexQueue = CornerQueue();
    lastCornerAt.clear(1);
    std::vector<std::pair<std::uint32_t, std::uint32_t>>().swap(indexRanges);
    std::vector<std::string>().swap(mtlNames);
    mtlNamesSeen.clear();
}

void CObjLoader::fail(const std::string& reason) const
{
    std::string message = "VESK::CObjLoader::loadFromFile " + objPath + " [FAILED]";
    if (!reason.empty())
        message += " (" + reason + ")";
    throw DEBUGGING::CException(message);
}

void CObjLoader::failOnLine(std::uint64_t line, const std::string& reason) const
{
    fail("line " + std::to_string(line) + ": " + reason);
}

void CObjLoader::readFile(const std::string& path)
{
    CTextFileReader reader(true);
    if (!reader.open(path))
        fail(std::strerror(errno));
    hasNormals = false;
    hasTexCoords = false;
    setLayout(false, false);
    lineNumber = 0;
    largestPosition = largestTexCoord = largestNormal = LargestReference();

    char* begin;
    char* end;
    while (reader.nextBlock(begin, end))
        readObjLines(begin, end);
    if (reader.failed())
        fail("");
    checkReferences();
    if (cornerCount() == 0)
        fail("no triangle to draw");

    // The MTL files lie beside the OBJ file; only '/' separates folders here.
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    // Each name is needed once more, and the set of them no longer: a file
    // may name millions.
    std::set<std::string>().swap(mtlNamesSeen);
    if (outline != nullptr)
        outline->mtlFiles.reserve(mtlNames.size());
    std::set<std::pair<std::uint64_t, std::uint64_t>> filesRead;
    for (std::string& name : mtlNames)
        readMaterials(folder, std::move(name), filesRead);
}

// Every corner counted so far: resolved, queued or waiting for later lines.
std::uint64_t CObjLoader::cornerCount() const
{
    return outline != nullptr ? outlineCorners : indexData.size() + pendingCorners.size();
}

// Refuses faces naming data beyond the lists read: a corner cannot do without
// its position, even in a file without v lines; indices into a list the file
// has no line of are ignored.
void CObjLoader::checkReferences() const
{
    const struct {
        const LargestReference& reference;
        std::size_t available;
        const char* name;
        bool mayBeAbsent;
    } lists[3] = {{largestPosition, positions.size(), "position", false},
                  {largestTexCoord, texCoords.size(), "texture", true},
                  {largestNormal, normals.size(), "normal", true}};
    for (const auto& list : lists) {
        if ((list.available > 0 || !list.mayBeAbsent) && list.reference.index > list.available)
            failOnLine(list.reference.line, std::string(list.name) + " index " + std::to_string(list.reference.index) +
                                                " beyond the " + std::to_string(list.available) + " read");
    }
}

// Hands the lists read over to the outline. Its faces are kept only for a
// file without normals, which is all they are needed for.
void CObjLoader::finishOutline()
{
    for (const FaceCorner& corner : pendingCorners)
        outline->positionUsed[corner.position - 1] = 1;
    outline->positions.assign(positions.at(0), positions.at(0) + 3 * positions.size());
    outline->hasNormals = normals.size() > 0 && largestNormal.index > 0;
    outline->materials = std::move(materials);
    if (normals.size() > 0) {
        std::vector<std::uint32_t>().swap(outline->corners);
        return;
    }
    if (texCoords.size() > 0) {
        outline->texCoords.assign(texCoords.at(0), texCoords.at(0) + 2 * texCoords.size());
    } else {
        for (std::size_t i = 1; i < outline->corners.size(); i += 2)
            outline->corners[i] = 0;
    }
    for (CMaterialMark& mark : materialMarks)
        outline->materialMarks.push_back(CObjOutline::MaterialMark{std::move(mark.name), mark.start});
}

// Each line is read up to where its reading stops, and only the rest of it
// is then passed over to its feed: one pass over most lines. Continued lines
// are first joined in place, in the blocks that have a backslash at all.
void CObjLoader::readObjLines(char* line, char* end)
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
                cursor = readVector(cursor + 1, "v", positions, 3);
                if (outline != nullptr)
                    outline->positionUsed.push_back(0);
                else
                    *lastCornerAt.append() = FaceCorner{0, 0, 0, 0};
            } else if (cursor[1] == 't' && isWordSpace(cursor[2])) {
                if (!hasTexCoords)
                    setLayout(hasNormals, true);
                // An outline keeps texture coordinates only while the file shows no normals.
                cursor = readVector(cursor + 2, "vt", texCoords, 1, outline == nullptr || normals.size() == 0);
            } else if (cursor[1] == 'n' && isWordSpace(cursor[2])) {
                if (!hasNormals) {
                    setLayout(true, hasTexCoords);
                    if (outline != nullptr)
                        std::vector<std::uint32_t>().swap(outline->corners);
                }
                cursor = readVector(cursor + 2, "vn", normals, 3, outline == nullptr);
            }
        } else if (c == 'f' && isWordSpace(cursor[1])) {
            cursor = readFace(cursor + 1);
        } else if (c == 'u' && startsWithKeyword(cursor, "usemtl")) {
            std::string name;
            readName(cursor + 6, name);
            if (!name.empty())
                materialMarks.push_back(
                    CMaterialMark{std::move(name), static_cast<std::uint32_t>(cornerCount())});
        } else if (c == 'm' && startsWithKeyword(cursor, "mtllib")) {
            std::string name;
            for (cursor = readName(cursor + 6, name); !name.empty(); cursor = readName(cursor, name)) {
                if (mtlNamesSeen.insert(name).second)
                    mtlNames.push_back(name);
            }
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
char* CObjLoader::endOfLine(char* cursor, char* end, std::uint64_t& joined) const
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

const char* CObjLoader::readName(const char* cursor, std::string& name) const
{
    cursor = skipBlanks(cursor);
    const char* last = wordEnd(cursor);
    name.assign(cursor, last);
    return last;
}

// Reads the numbers of one group of the list (three, or two for texture
// coordinates); a missing one reads as 0 once `wordsNeeded` are there, and a
// word starting with # ends the numbers. The second texture coordinate is
// stored negated: pictures are stored top row first, and v runs upwards.
const char* CObjLoader::readVector(const char* cursor, const char* keyword, CGroupArray<float>& list, int wordsNeeded,
                                   bool keep)
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
        failOnLine(lineNumber, std::string(keyword) + " needs " + (wordsNeeded == 3 ? "three numbers" : "a number"));
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

const char* CObjLoader::readFace(const char* cursor)
{
    // Files mostly list their positions before the faces, and a mesh has
    // about as many vertices as positions.
    if (outline == nullptr)
        vertexData.reserve(positions.size());
    FaceCorner first{};
    FaceCorner previous{};
    std::size_t words = 0;
    for (;;) {
        cursor = skipBlanks(cursor);
        if (*cursor == '\n' || *cursor == '#')
            break;
        FaceCorner corner;
        cursor = readCorner(cursor, corner);
        if (words == 0) {
            first = corner;
        } else if (words == 1) {
            previous = corner;
        } else {
            addCorner(first);
            addCorner(previous);
            addCorner(corner);
            previous = corner;
        }
        ++words;
    }
    if (cornerCount() > maximumCorners)
        failOnLine(lineNumber, "more triangle corners than 32-bit indices allow");
    return cursor;
}

// Cuts one vertex word into position/texture/normal components at '/'; an
// empty texture or normal component gives none. A negative index -k names the
// k-th last entry of its list read so far, so it becomes the absolute index
// here, while the lists have the length they had before this line; every
// index must then be at least 1. Plain digits, the usual case, are read in
// the same pass that finds the component's end.
const char* CObjLoader::readCorner(const char* cursor, FaceCorner& corner)
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
            const std::size_t available =
                component == 0 ? positions.size() : component == 1 ? texCoords.size() : normals.size();
            if (value < 0 && value >= -static_cast<std::int64_t>(available))
                value += static_cast<std::int64_t>(available) + 1;
            if (value <= 0 || value > std::numeric_limits<int>::max()) {
                static const char* const names[3] = {"position", "texture", "normal"};
                failOnLine(lineNumber, std::string(names[component]) + " index " + std::string(start, componentEnd) +
                                           (value > 0 ? " is too large" : " is not a positive number"));
            }
            indices[component] = value;
        } else if (component == 0) {
            failOnLine(lineNumber, "vertex word without a position index");
        }
        if (*componentEnd != '/')
            break;
        ++componentEnd;
    }
    corner.position = static_cast<std::uint32_t>(indices[0]);
    corner.texCoord = static_cast<std::uint32_t>(indices[1]);
    corner.normal = static_cast<std::uint32_t>(indices[2]);
    corner.vertex = noVertex;
    if (corner.position > largestPosition.index)
        largestPosition = LargestReference{corner.position, lineNumber};
    if (corner.texCoord > largestTexCoord.index)
        largestTexCoord = LargestReference{corner.texCoord, lineNumber};
    if (corner.normal > largestNormal.index)
        largestNormal = LargestReference{corner.normal, lineNumber};
    return wordEnd(componentEnd);
}

// A corner whose indices all name data already read goes to the lookup at
// once; from the first corner naming later data on, corners wait for the end
// of the file.
void CObjLoader::addCorner(const FaceCorner& corner)
{
    if (outline != nullptr) {
        outlineCorner(corner);
        return;
    }
    if (!pendingCorners.empty() || corner.position > positions.size() || corner.texCoord > texCoords.size() ||
        corner.normal > normals.size()) {
        pendingCorners.push_back(corner);
        return;
    }
    queueCorner(corner);
}

// An outline records which positions the faces use (a position a later line
// defines is marked once it is known) and, while the file has shown no
// normals, the corner itself.
void CObjLoader::outlineCorner(const FaceCorner& corner)
{
    if (corner.position <= outline->positionUsed.size())
        outline->positionUsed[corner.position - 1] = 1;
    else
        pendingCorners.push_back(corner);
    if (normals.size() == 0) {
        outline->corners.push_back(corner.position);
        outline->corners.push_back(corner.texCoord);
    }
    ++outlineCorners;
}

// Starts fetching what the corner's lookup needs, its position's last
// corner and the data a new vertex would be built from, before its turn.
void CObjLoader::queueCorner(const FaceCorner& corner)
{
    if (tripleQueue.full())
        resolveTriple();
    QueuedCorner& queued = tripleQueue.push();
    queued.corner = corner;
    __builtin_prefetch(lastCornerAt.at(corner.position - 1));
    __builtin_prefetch(positions.at(corner.position - 1));
    if (hasNormals && corner.normal != 0)
        __builtin_prefetch(normals.at(corner.normal - 1));
    if (hasTexCoords && corner.texCoord != 0)
        __builtin_prefetch(texCoords.at(corner.texCoord - 1));
    queued.indexPosition = indexData.size();
    *indexData.append() = noVertex;
}

// A corner repeating the last triple seen at its position takes that vertex
// number, or follows it through the vertex queue while the number is not yet
// known (a mesh written in order repeats a corner within a face or two); any
// other builds its vertex and passes on to the vertex lookup.
void CObjLoader::resolveTriple()
{
    const QueuedCorner& queued = tripleQueue.front();
    FaceCorner& last = *lastCornerAt.at(queued.corner.position - 1);
    if (last.sameTriple(queued.corner) && last.vertex != noVertex) {
        *indexData.at(queued.indexPosition) = last.vertex;
    } else {
        if (vertexQueue.full())
            resolveVertex();
        QueuedCorner& next = vertexQueue.push();
        next = queued;
        next.follows = last.sameTriple(queued.corner);
        if (!next.follows) {
            buildVertex(next.corner, next.vertex);
            next.vertexHash = vertexData.hashOf(next.vertex);
            vertexData.prefetch(next.vertexHash);
            last = FaceCorner{queued.corner.position, queued.corner.texCoord, queued.corner.normal, noVertex};
        }
    }
    tripleQueue.pop();
}

// A follower finds its triple's number at its position, unless a corner
// with another triple took the position meanwhile: it then looks its vertex
// up like any other. The same triple may also have passed on twice before
// the first was resolved; the vertex lookup then finds the first one's vertex.
void CObjLoader::resolveVertex()
{
    QueuedCorner& queued = vertexQueue.front();
    FaceCorner& last = *lastCornerAt.at(queued.corner.position - 1);
    if (queued.follows && last.sameTriple(queued.corner) && last.vertex != noVertex) {
        *indexData.at(queued.indexPosition) = last.vertex;
    } else {
        if (queued.follows) {
            buildVertex(queued.corner, queued.vertex);
            queued.vertexHash = vertexData.hashOf(queued.vertex);
        }
        const std::uint32_t number = vertexData.findOrAdd(queued.vertex, queued.vertexHash);
        *indexData.at(queued.indexPosition) = number;
        last = FaceCorner{queued.corner.position, queued.corner.texCoord, queued.corner.normal, number};
    }
    vertexQueue.pop();
}

void CObjLoader::flushQueues()
{
    while (tripleQueue.size > 0)
        resolveTriple();
    while (vertexQueue.size > 0)
        resolveVertex();
}

// The vertex of a corner whose indices all name data already read: position,
// then the normal slot when the file has normals, then the texture slot when
// it has texture coordinates; slots the corner names nothing for stay 0.
void CObjLoader::buildVertex(const FaceCorner& corner, float* vertex) const
{
    std::memset(vertex, 0, 8 * sizeof(float));
    std::memcpy(vertex, positions.at(corner.position - 1), 3 * sizeof(float));
    std::size_t texCoordSlot = 3;
    if (hasNormals) {
        if (corner.normal != 0)
            std::memcpy(vertex + 3, normals.at(corner.normal - 1), 3 * sizeof(float));
        texCoordSlot = 6;
    }
    if (hasTexCoords && corner.texCoord != 0)
        std::memcpy(vertex + texCoordSlot, texCoords.at(corner.texCoord - 1), 2 * sizeof(float));
}

// The layout follows the file's vn and vt lines as they are met; vertices
// stored before a change are widened with zeros, as they would have been
// built had the whole file been known.
void CObjLoader::setLayout(bool withNormals, bool withTexCoords)
{
    flushQueues();
    const std::uint32_t wider = 3 + (withNormals ? 3 : 0) + (withTexCoords ? 2 : 0);
    if (vertexData.getVertexCount() == 0) {
        vertexData.reset(wider);
    } else {
        const std::uint32_t oldTexCoordSlot = hasNormals ? 6 : 3;
        const std::uint32_t newTexCoordSlot = withNormals ? 6 : 3;
        std::uint32_t destination[8] = {0, 1, 2, 3, 4, 5, 6, 7};
        if (hasTexCoords) {
            destination[oldTexCoordSlot] = newTexCoordSlot;
            destination[oldTexCoordSlot + 1] = newTexCoordSlot + 1;
        }
        vertexData.widen(wider, destination);
    }
    floatsPerVertex = wider;
    hasNormals = withNormals;
    hasTexCoords = withTexCoords;
}

// Appends the materials of the MTL file `name` in the OBJ file's folder,
// unless `filesRead` shows that the same file was read under another name.
// Lines before the file's first newmtl have no material to change.
void CObjLoader::readMaterials(const std::string& folder, std::string name,
                               std::set<std::pair<std::uint64_t, std::uint64_t>>& filesRead)
{
    // Files written elsewhere may name folders with backslashes; the OBJ
    // file's own folder is named as the caller gave it.
    std::replace(name.begin(), name.end(), '\\', '/');
    const std::string path = folder + name;
    CTextFileReader reader;
    const bool read = reader.open(path) && filesRead.insert(reader.fileIdentity()).second;
    if (outline != nullptr)
        outline->mtlFiles.push_back(CObjOutline::MtlFile{std::move(name), path, read});
    if (!read)
        return;
    const std::size_t materialsBefore = materials.size();
    float alpha = 1.0f;
    std::uint64_t mtlLine = 0;
    char* begin;
    char* end;
    while (reader.nextBlock(begin, end)) {
        for (const char* cursor = begin; cursor < end;) {
            ++mtlLine;
            // The first four words are all any keyword uses.
            const char* first[4];
            const char* last[4];
            int count = 0;
            for (cursor = skipBlanks(cursor); *cursor != '\n' && count < 4; cursor = skipBlanks(cursor)) {
                first[count] = cursor;
                cursor = wordEnd(cursor);
                last[count++] = cursor;
            }
            const char* const lineEnd =
                static_cast<const char*>(std::memchr(cursor, '\n', static_cast<std::size_t>(end - cursor)));
            cursor = lineEnd + 1;
            if (count < 2)
                continue;
            if (wordEquals(first[0], last[0], "newmtl")) {
                materials.emplace_back();
                materials.back().name.assign(first[1], last[1]);
                alpha = 1.0f;
                continue;
            }
            if (materials.size() == materialsBefore)
                continue;
            CNamedMaterial& current = materials.back();
            if (wordEquals(first[0], last[0], "d") || wordEquals(first[0], last[0], "Tr")) {
                alpha = readFloat(first[1], last[1]);
            } else if (wordEquals(first[0], last[0], "Ns")) {
                current.material.shininess = readFloat(first[1], last[1]);
            } else if (wordEquals(first[0], last[0], "map_Kd")) {
                current.textureName.assign(first[1], last[1]);
                if (outline != nullptr)
                    outline->textureLines.push_back(CObjOutline::TextureLine{
                        outline->mtlFiles.size() - 1, mtlLine, materials.size() - 1,
                        splitWords(std::string(first[1], lineEnd))});
            } else if (count == 4) {
                CMyVector<float, 4>* colour = nullptr;
                if (wordEquals(first[0], last[0], "Ka"))
                    colour = &current.material.ambient;
                else if (wordEquals(first[0], last[0], "Kd"))
                    colour = &current.material.diffuse;
                else if (wordEquals(first[0], last[0], "Ks"))
                    colour = &current.material.specular;
                if (colour != nullptr) {
                    for (int i = 0; i < 3; ++i)
                        (*colour)[i] = readFloat(first[i + 1], last[i + 1]);
                    (*colour)[3] = alpha;
                }
            }
        }
    }
}

// Resolves the corners that waited for later lines, then decides the final
// order of the indices: when the MTL files defined materials, grouped by
// material, then the triangles no material claimed; in file order otherwise.
void CObjLoader::buildVertices()
{
    for (const FaceCorner& corner : pendingCorners)
        queueCorner(corner);
    flushQueues();
    // From here on only the vertices and indices are needed: the memory the
    // rest holds is given back before the record's arrays are made.
    std::vector<FaceCorner>().swap(pendingCorners);
    positions.clear(3);
    normals.clear(3);
    texCoords.clear(2);
    lastCornerAt.clear(1);

    const std::uint32_t cornerCount = static_cast<std::uint32_t>(indexData.size());
    if (materials.empty()) {
        materialMarks.clear();
        indexRanges.emplace_back(0, cornerCount);
        return;
    }
    // The triangles of each usemtl name, in file order. The work below then
    // follows the size of the result, however many marks or equally named
    // materials there are; an ordered map, so that no choice of names can
    // make the lookups slow.
    struct NamedRanges {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
        std::uint64_t corners = 0;
    };
    std::map<std::string, NamedRanges> rangesByName;
    for (const CNamedMaterial& material : materials)
        rangesByName.emplace(material.name, NamedRanges());
    NamedRanges unclaimed;
    const auto addRange = [](NamedRanges& named, std::uint32_t first, std::uint32_t last) {
        if (last == first)
            return;
        named.ranges.emplace_back(first, last);
        named.corners += last - first;
    };
    addRange(unclaimed, 0, materialMarks.empty() ? cornerCount : materialMarks[0].start);
    for (std::size_t k = 0; k < materialMarks.size(); ++k) {
        const auto found = rangesByName.find(materialMarks[k].name);
        addRange(found == rangesByName.end() ? unclaimed : found->second, materialMarks[k].start,
                 k + 1 < materialMarks.size() ? materialMarks[k + 1].start : cornerCount);
    }
    std::uint64_t total = unclaimed.corners;
    for (const CNamedMaterial& material : materials)
        total += rangesByName.find(material.name)->second.corners;
    if (total > maximumCorners)
        fail("more triangle corners than 32-bit indices allow");
    std::vector<CMaterialMark> groups;
    std::uint32_t running = 0;
    const auto addGroup = [&](const std::string& name, const NamedRanges& named) {
        groups.push_back(CMaterialMark{name, running});
        indexRanges.insert(indexRanges.end(), named.ranges.begin(), named.ranges.end());
        running += static_cast<std::uint32_t>(named.corners);
    };
    for (const CNamedMaterial& material : materials)
        addGroup(material.name, rangesByName.find(material.name)->second);
    if (unclaimed.corners > 0)
        addGroup(std::string(), unclaimed);
    materialMarks.swap(groups);
}

// The vertex array and, when the triangles stay in file order, the index
// array are handed to the record as they are, without a copy.
CMeshData* CObjLoader::makeRecord()
{
    std::uint64_t indexCount = 0;
    for (const auto& range : indexRanges)
        indexCount += range.second - range.first;

    std::unique_ptr<CMeshData> record(new CMeshData);
    record->elementCount = 2 + (hasNormals ? 1 : 0) + (hasTexCoords ? 1 : 0);
    record->elements = new CVertexElement[record->elementCount];
    CVertexElement* element = record->elements;
    *element++ = CVertexElement{0, DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0};
    if (hasNormals)
        *element++ = CVertexElement{12, DECLTYPE_FLOAT3, DECLUSAGE_NORMAL, 0};
    if (hasTexCoords)
        *element++ = CVertexElement{hasNormals ? 24 : 12, DECLTYPE_FLOAT2, DECLUSAGE_TEXCOORD, 0};
    *element = CVertexElement{0, 0, 0, 0};

    record->vertexStride = 4 * floatsPerVertex;
    record->vertexCount = static_cast<std::uint32_t>(vertexData.getVertexCount());
    record->vertices = vertexData.releaseVertices();

    record->indexSize = 4;
    record->indexCount = static_cast<std::uint32_t>(indexCount);
    if (indexRanges.size() == 1 && indexRanges[0].first == 0 && indexCount == indexData.size()) {
        record->indices = indexData.release();
    } else {
        CGroupArray<std::uint32_t> grouped;
        grouped.allocate(indexCount);
        std::uint32_t* target = grouped.at(0);
        for (const auto& range : indexRanges) {
            std::memcpy(target, indexData.at(range.first), (range.second - range.first) * sizeof(std::uint32_t));
            target += range.second - range.first;
        }
        record->indices = grouped.release();
    }

    // The group after the materials' groups holds the unclaimed triangles.
    const CNamedMaterial unclaimed;
    for (std::size_t g = 0; g < materialMarks.size(); ++g) {
        const std::uint32_t first = materialMarks[g].start;
        const std::uint32_t last = g + 1 < materialMarks.size() ? materialMarks[g + 1].start : record->indexCount;
        const CNamedMaterial& material = g < materials.size() ? materials[g] : unclaimed;
        record->addSubMesh(material.name, material.material, first, (last - first) / 3, material.textureName);
    }
    return record.release();
}

}  // namespace VESK
