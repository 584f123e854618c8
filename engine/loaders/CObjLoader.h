#pragma once

#include <cstddef>
#include <string>

#include "CCornerResolver.h"
#include "CMeshData.h"
#include "CObjOutline.h"
#include "VLoader.h"
#include "VMtlFiles.h"

// Reads a Wavefront OBJ mesh, with the MTL materials it names, into a
// CMeshData: one interleaved vertex array without duplicates, 32-bit triangle
// indices grouped by material, one sub-mesh per material, then one sub-mesh
// with an empty name and the default material for the triangles no material
// claims (before the first usemtl, or under a name no material bears). One
// instance is registered with the loader factory under "obj" and owned by it;
// it keeps nothing between loads.
//
// Read: v, vn, vt (u as written, v negated so that pictures stored top row
// first show upright), f (polygons, fan-triangulated; negative indices count
// back from the last line read), usemtl, mtllib (every file named, once); a
// word starting with # ends v, vn, vt and f lines, and a backslash at the end
// of a line continues it on the next. Face indices into a list the file has
// no line of are ignored. In MTL files newmtl, d, Tr, Ns, Ka, Kd, Ks, map_Kd.
// Not read: points and lines, groups, smoothing groups, free-form geometry,
// texture options, every other keyword.
//
// A load takes four steps, one piece each: CObjLineReader reads the lines,
// CCornerResolver numbers the vertices, readMaterials (MtlReader.h) reads the
// MTL files and groupByMaterial (MaterialGroups.h) orders the triangles. The
// text comes from a file or from memory; every failure message is made here.

namespace VESK {

class CObjLoader : public VLoader {
public:
    // `method`: how corners become vertex numbers (bench_obj compares the two).
    explicit CObjLoader(CCornerResolver::Method method = CCornerResolver::Method::pipelined);
    ~CObjLoader() override;

    // Returns a new CMeshData owned by the caller. Throws CException with
    // failureMessage(path, reason): the reason says why when the file cannot
    // be opened, is empty when it cannot be read, and gives the line and the
    // fault when the file holds data the loader refuses (bad face references,
    // short v or vn lines), yields no triangle to draw, or does not fit in
    // memory or in 32-bit indices.
    void* loadFromFile(std::string path) override;

    // Reads the OBJ text `bytes` (copied, so no padding is needed) as
    // loadFromFile reads the file at `path`, and the MTL files it names from
    // `mtlFiles` under the paths loadFromFile would open. Returns a new
    // CMeshData owned by the caller; throws as loadFromFile.
    CMeshData* loadFromMemory(const char* bytes, std::size_t size, const std::string& path,
                              VMtlFiles& mtlFiles) const;

    // Reads the file as loadFromFile does, refusing the same input with the
    // same CException, but builds no vertex table: returns the file's outline
    // (its MTL files, materials, positions and, without normals, its faces).
    CObjOutline readOutline(const std::string& path) const;
    // The outline of OBJ text in memory, read as loadFromMemory reads it.
    CObjOutline readOutline(const char* bytes, std::size_t size, const std::string& path, VMtlFiles& mtlFiles) const;

    // Writing OBJ files is not supported: does nothing.
    void saveToFile(void* record, std::string path) override;

    // The text of the CException a reading of `path` throws:
    // "VESK::CObjLoader::loadFromFile <path> [FAILED]", then " (<reason>)"
    // unless the reason is empty. Also for callers that refuse a file before
    // any reading, such as one whose name does not end in .obj.
    static std::string failureMessage(const std::string& path, const std::string& reason);

private:
    CCornerResolver::Method method;
};

}  // namespace VESK
