#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CNamedMaterial.h"

// What a reading of an OBJ file tells without building its vertex table: the
// MTL files its mtllib lines name and what they gave, its positions and which
// of them the faces use, and, for a file without normals, the faces and the
// data needed to write it again with normals. Filled by
// CObjLoader::readOutline under the same rules, and refused on the same
// input, as a mesh load; a plain value that the caller owns.

namespace VESK {

struct CObjOutline {
    // One MTL file that the mtllib lines name, in order of first mention.
    struct MtlFile {
        std::string name;  // as the line gives it, backslashes read as '/'
        std::string path;  // where it was looked for: the OBJ file's folder followed by the name
        bool read = false; // false when nothing readable is there, or the same file was read under an earlier name
    };

    // One map_Kd line that set a material's texture name.
    struct TextureLine {
        std::size_t mtlFile = 0;      // index into mtlFiles
        std::uint64_t lineNumber = 0; // 1-based, in that file
        std::size_t material = 0;     // index into materials
        std::vector<std::string> words; // every word after map_Kd
    };

    // A usemtl line: its name, and the number of triangle corners before it.
    struct MaterialMark {
        std::string name;
        std::uint32_t corner = 0;
    };

    std::vector<MtlFile> mtlFiles;
    // Every material the MTL files define, in order, as a mesh load reads them.
    std::vector<CNamedMaterial> materials;
    std::vector<TextureLine> textureLines;

    // Three floats per v line, as read.
    std::vector<float> positions;
    // One per v line: 1 when a face corner uses it.
    std::vector<std::uint8_t> positionUsed;
    // True when a face corner names a vn line, so that the mesh has normals.
    bool hasNormals = false;

    // Kept only for a file without vn lines; empty otherwise.
    // Two floats per vt line, as a mesh stores them (v negated).
    std::vector<float> texCoords;
    // Two per triangle corner, triangles in file order (polygons split into
    // fans as a mesh load splits them): the position index and the texture
    // index, 1-based as the file counts; the texture index is 0 when the
    // corner gives none or the file has no vt line.
    std::vector<std::uint32_t> corners;
    std::vector<MaterialMark> materialMarks;
};

}  // namespace VESK
