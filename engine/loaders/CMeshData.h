#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../CVertexElement.h"
#include "CSubMesh.h"

// The record a mesh loader returns: one interleaved float vertex array, one
// 32-bit index array, the terminated layout that describes a vertex, and one
// sub-mesh per material. The caller owns it and frees it once a model has
// copied what it needs; the arrays are owned and freed with delete[].

namespace VESK {

class CMeshData {
public:
    CMeshData() = default;
    ~CMeshData();

    CMeshData(const CMeshData&) = delete;
    CMeshData& operator=(const CMeshData&) = delete;

    void addSubMesh(std::string name, const CMaterial& material, std::uint32_t firstIndex,
                    std::uint32_t triangleCount, std::string textureName);

    // Frees the arrays and empties the record; indexSize keeps its value.
    void release();

    CVertexElement* elements = nullptr;
    std::uint32_t vertexStride = 0;
    std::uint32_t indexSize = 4;
    std::uint32_t vertexCount = 0;
    std::uint32_t indexCount = 0;
    std::uint32_t elementCount = 0;
    float* vertices = nullptr;
    std::uint32_t* indices = nullptr;
    std::vector<CSubMesh> subMeshes;
};

}  // namespace VESK
