#include "CMeshData.h"

#include <utility>

namespace VESK {

CMeshData::~CMeshData()
{
    release();
}

void CMeshData::addSubMesh(std::string name, const CMaterial& material, std::uint32_t firstIndex,
                           std::uint32_t triangleCount, std::string textureName)
{
    CSubMesh subMesh;
    subMesh.name = std::move(name);
    subMesh.material = material;
    subMesh.textureName = std::move(textureName);
    subMesh.firstIndex = firstIndex;
    subMesh.triangleCount = triangleCount;
    subMeshes.push_back(std::move(subMesh));
}

void CMeshData::release()
{
    delete[] elements;
    delete[] vertices;
    delete[] indices;
    elements = nullptr;
    vertices = nullptr;
    indices = nullptr;
    vertexStride = 0;
    vertexCount = 0;
    indexCount = 0;
    elementCount = 0;
    subMeshes.clear();
}

}  // namespace VESK
