#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "CGroupArray.h"
#include "CMeshData.h"
#include "CNamedMaterial.h"
#include "CObjOutline.h"
#include "CVertexTable.h"
#include "VLoader.h"

// Reads a Wavefront OBJ mesh, with the MTL materials it names, into a
// CMeshData: one interleaved vertex array without duplicates, 32-bit triangle
// indices grouped by material, one sub-mesh per material, then one sub-mesh
// with an empty name and the default material for the triangles no material
// claims (before the first usemtl, or under a name no material bears). One
// instance is registered with the loader factory under "obj" and owned by it;
// its lists are the working state of one load and are empty between loads.
//
// Read: v, vn, vt (u as written, v negated so that pictures stored top row
// first show upright), f (polygons, fan-triangulated; negative indices count
// back from the last line read), usemtl, mtllib (every file named, once); a
// word starting with # ends v, vn, vt and f lines, and a backslash at the end
// of a line continues it on the next. Face indices into a list the file has
// no line of are ignored. In MTL files newmtl, d, Tr, Ns, Ka, Kd, Ks, map_Kd.
// Not read: points and lines, groups, smoothing groups, free-form geometry,
// texture options, every other keyword.

namespace VESK {

class CObjLoader : public VLoader {
public:
    CObjLoader();
    ~CObjLoader() override;

    // Returns a new CMeshData owned by the caller. Throws CException
    // "VESK::CObjLoader::loadFromFile <path> [FAILED]" when the file cannot be
    // opened or read; the same text followed by a reason in parentheses when
    // the file holds data the loader refuses (bad face references, short v or
    // vn lines), yields no triangle to draw, or does not fit in memory or in
    // 32-bit indices.
    void* loadFromFile(std::string path) override;

    // Reads the file as loadFromFile does, refusing the same input with the
    // same CException, but builds no vertex table: returns the file's outline
    // (its MTL files, materials, positions and, without normals, its faces).
    CObjOutline readOutline(const std::string& path);

    // Writing OBJ files is not supported: does nothing.
    void saveToFile(void* record, std::string path) override;

private:
    // Where a `usemtl` group begins: the number of triangle corners before it.
    struct CMaterialMark {
        std::string name;
        std::uint32_t start;
    };

    // One vertex word of a face: 1-based indices as written, 0 for a texture
    // or normal index the word does not give, and the vertex number once known.
    struct FaceCorner {
        std::uint32_t position;
        std::uint32_t texCoord;
        std::uint32_t normal;
        std::uint32_t vertex;

        bool sameTriple(const FaceCorner& other) const
        {
            return position == other.position && texCoord == other.texCoord && normal == other.normal;
        }
    };

    // A corner on its way to a vertex number. Corners pass two short queues,
    // so that the memory each lookup needs is fetched while the next corners
    // are read: first the check of its position's last triple, then, for
    // another triple, the lookup of the vertex it builds. indexData holds a
    // placeholder for the corner meanwhile. A corner whose triple is already
    // on its way through the vertex queue follows it: it builds no vertex and
    // takes the number found for that triple.
    struct QueuedCorner {
        FaceCorner corner;
        std::uint32_t vertexHash;
        bool follows;
        std::size_t indexPosition;
        float vertex[8];
    };
    struct CornerQueue {
        static constexpr std::size_t length = 16;
        QueuedCorner entries[length];
        std::size_t first = 0;
        std::size_t size = 0;

        bool full() const { return size == length; }
        QueuedCorner& front() { return entries[first]; }
        QueuedCorner& push() { return entries[(first + size++) % length]; }
        void pop()
        {
            first = (first + 1) % length;
            --size;
        }
    };

    // The largest index a face names in one list, and the line naming it.
    struct LargestReference {
        std::uint64_t index = 0;
        std::uint64_t line = 0;
    };

    void resetLists();
    void readFile(const std::string& path);
    void checkReferences() const;
    std::uint64_t cornerCount() const;
    void outlineCorner(const FaceCorner& corner);
    void finishOutline();
    [[noreturn]] void rethrowAsFailure() const;
    void readObjLines(char* cursor, char* end);
    char* endOfLine(char* cursor, char* end, std::uint64_t& joined) const;
    const char* readVector(const char* cursor, const char* keyword, CGroupArray<float>& list, int wordsNeeded,
                           bool keep = true);
    const char* readFace(const char* cursor);
    const char* readCorner(const char* cursor, FaceCorner& corner);
    const char* readName(const char* cursor, std::string& name) const;
    void addCorner(const FaceCorner& corner);
    void queueCorner(const FaceCorner& corner);
    void resolveTriple();
    void resolveVertex();
    void flushQueues();
    void buildVertex(const FaceCorner& corner, float* vertex) const;
    void setLayout(bool withNormals, bool withTexCoords);
    void readMaterials(const std::string& folder, std::string name,
                       std::set<std::pair<std::uint64_t, std::uint64_t>>& filesRead);
    void buildVertices();
    CMeshData* makeRecord();
    [[noreturn]] void fail(const std::string& reason) const;
    [[noreturn]] void failOnLine(std::uint64_t line, const std::string& reason) const;

    std::uint32_t floatsPerVertex = 3;
    CVertexTable vertexData;
    CGroupArray<std::uint32_t> indexData;
    std::vector<CNamedMaterial> materials;
    std::vector<CMaterialMark> materialMarks;
    CGroupArray<float> positions{3};
    CGroupArray<float> normals{3};
    CGroupArray<float> texCoords{2};

    // Corners naming data that a later line of the file defines: from the
    // first such corner on, corners wait here until the whole file is read.
    std::vector<FaceCorner> pendingCorners;
    // Corners in lookup, oldest first. New vertices are added in file order,
    // so vertex numbers follow the first appearance of each vertex.
    CornerQueue tripleQueue;
    CornerQueue vertexQueue;
    // For each position, the triple of the corner resolved last there, with
    // its vertex number, or noVertex while that corner is still in the vertex
    // queue; position 0 before any. Corners sharing a position
    // mostly share the whole triple, so most corners need no vertex built,
    // and a mesh written in order finds these entries in the processor's
    // cache. A corner with another triple just builds its vertex.
    CGroupArray<FaceCorner> lastCornerAt;
    // The index ranges [first, end) of indexData that make up the result, in
    // their final order: the regrouping by material, or everything.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> indexRanges;

    // Set while readOutline fills it: the reading then records what the
    // outline holds instead of resolving corners to vertices.
    CObjOutline* outline = nullptr;
    std::uint64_t outlineCorners = 0;

    std::string objPath;
    // The MTL files the mtllib lines name, in order of first mention.
    std::vector<std::string> mtlNames;
    std::set<std::string> mtlNamesSeen;
    std::uint64_t lineNumber = 0;
    bool hasNormals = false;
    bool hasTexCoords = false;
    LargestReference largestPosition;
    LargestReference largestTexCoord;
    LargestReference largestNormal;
};

}  // namespace VESK
