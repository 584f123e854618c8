#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "CGroupArray.h"
#include "CMaterialMark.h"

// Reads the lines of an OBJ text, block by block: the numbers of v, vt and
// vn lines into the lists, the faces as triangle corners handed to a sink as
// soon as each face is read, usemtl lines as material marks and the names of
// mtllib lines. What the sink makes of the corners it does not know. Created
// for one reading, on the stack of the function that reads; every refusal is
// a CObjRefusal.

namespace VESK {

class CObjLineReader {
public:
    // One vertex word of a face: 1-based indices, a negative index already
    // turned into the entry it names; 0 for a texture or normal index the
    // word does not give.
    struct Corner {
        std::uint32_t position;
        std::uint32_t texCoord;
        std::uint32_t normal;
    };

    // The numbers of the v, vn and vt lines: three, three and two a line (u
    // as written, v negated: pictures are stored top row first, and v runs
    // upwards). The reader fills them; the sink may read them.
    struct Lists {
        CGroupArray<float> positions{3};
        CGroupArray<float> normals{3};
        CGroupArray<float> texCoords{2};
    };

    // What the faces go to.
    class FaceSink {
    public:
        virtual ~FaceSink() = default;
        // The triangle corners read since the last call, three a triangle (a
        // polygon as a fan around its first corner), in file order. They come
        // in batches: before a change of layout and at finish() at the latest.
        // Their indices may name lines further down the file.
        virtual void addCorners(const Corner* corners, std::size_t count) = 0;
        // The file shows its first vn or vt line, before the line's numbers
        // are read: the corners after this call have the wider layout.
        virtual void widenLayout(bool withNormals, bool withTexCoords) = 0;
    };

    // `outline`: the numbers of vn lines, and of vt lines once a vn line was
    // read, are counted, not converted; an outline needs none of them.
    CObjLineReader(Lists& lists, FaceSink& sink, bool outline);

    CObjLineReader(const CObjLineReader&) = delete;
    CObjLineReader& operator=(const CObjLineReader&) = delete;

    // Reads the lines of [begin, end), whose last byte is a line feed and
    // after which readAheadBytes (TextNumbers.h) bytes are readable; a line
    // ending in a backslash is joined to the next in place. Throws
    // CObjRefusal on a refused line.
    void readBlock(char* begin, char* end);

    // After the last block: hands the last corners over, then throws
    // CObjRefusal when a face names data beyond the lists read, or when the
    // text has no triangle.
    void finish();

    bool hasNormals() const { return normalsSeen; }
    bool hasTexCoords() const { return texCoordsSeen; }
    // The usemtl lines with a name, in file order.
    std::vector<CMaterialMark>& materialMarks() { return marks; }
    // The MTL files the mtllib lines name, each once, in order of first mention.
    std::vector<std::string>& mtlNames() { return names; }

private:
    // The largest index a face names in one list, and the line naming it.
    struct LargestReference {
        std::uint64_t index = 0;
        std::uint64_t line = 0;
    };

    // Corners are handed over a few triangles at a time: a call's cost is
    // shared, and the sink's work still alternates finely with the reading of
    // lines. Measured with bench_obj, 4 triangles matched the single loop that
    // these pieces replace on every shape; 1 made shuffled meshes 6% slower,
    // 256 meshes written in order 5%.
    static constexpr std::size_t cornersPerHandOver = 3 * 4;

    char* endOfLine(char* cursor, char* end, std::uint64_t& joined) const;
    const char* readVector(const char* cursor, const char* keyword, CGroupArray<float>& list, int wordsNeeded,
                           bool keep = true);
    const char* readFace(const char* cursor);
    const char* readCorner(const char* cursor, Corner& corner);
    const char* readMaterialMark(const char* cursor);
    const char* readMtlNames(const char* cursor);
    void widenLayout(bool withNormals, bool withTexCoords);
    void handOverCorners();
    void checkReferences() const;
    [[noreturn]] void refuseOnLine(std::uint64_t line, const std::string& reason) const;

    Lists& lists;
    FaceSink& sink;
    const bool outline;
    bool normalsSeen = false;
    bool texCoordsSeen = false;
    std::uint64_t lineNumber = 0;
    std::uint64_t corners = 0;
    Corner cornersRead[cornersPerHandOver];
    std::size_t cornersReadCount = 0;
    LargestReference largestPosition;
    LargestReference largestTexCoord;
    LargestReference largestNormal;
    std::vector<CMaterialMark> marks;
    std::vector<std::string> names;
    std::set<std::string> namesSeen;
};

}  // namespace VESK
