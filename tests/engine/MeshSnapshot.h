#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/loaders/CMeshData.h"

// A comparable copy of a mesh record: floats kept as their bit patterns, so
// that equality is bit-exact (0.0 differs from -0.0, NaNs compare by bits).
struct MeshSnapshot {
    struct SubMesh {
        std::string name;
        std::string textureName;
        std::uint32_t firstIndex = 0;
        std::uint32_t triangleCount = 0;
        std::vector<std::uint32_t> materialBits;  // ambient, diffuse, specular, emission, shininess

        bool operator==(const SubMesh& o) const
        {
            return std::tie(name, textureName, firstIndex, triangleCount, materialBits) ==
                   std::tie(o.name, o.textureName, o.firstIndex, o.triangleCount, o.materialBits);
        }
    };

    std::uint32_t vertexStride = 0;
    std::uint32_t indexSize = 0;
    std::uint32_t vertexCount = 0;
    std::vector<std::int32_t> elements;  // four numbers per element, terminator included
    std::vector<std::uint32_t> vertexBits;
    std::vector<std::uint32_t> indices;
    std::vector<SubMesh> subMeshes;

    bool operator==(const MeshSnapshot& o) const
    {
        return std::tie(vertexStride, indexSize, vertexCount, elements, vertexBits, indices, subMeshes) ==
               std::tie(o.vertexStride, o.indexSize, o.vertexCount, o.elements, o.vertexBits, o.indices, o.subMeshes);
    }
};

inline std::uint32_t bitsOf(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

inline std::vector<std::uint32_t> materialBits(const VESK::CMaterial& material)
{
    std::vector<std::uint32_t> bits;
    for (const auto* colour : {&material.ambient, &material.diffuse, &material.specular, &material.emission}) {
        for (std::size_t i = 0; i < 4; ++i)
            bits.push_back(bitsOf((*colour)[i]));
    }
    bits.push_back(bitsOf(material.shininess));
    return bits;
}

inline MeshSnapshot snapshotOf(const VESK::CMeshData& mesh)
{
    MeshSnapshot snapshot;
    snapshot.vertexStride = mesh.vertexStride;
    snapshot.indexSize = mesh.indexSize;
    snapshot.vertexCount = mesh.vertexCount;
    for (std::uint32_t i = 0; i < mesh.elementCount; ++i) {
        const VESK::CVertexElement& e = mesh.elements[i];
        snapshot.elements.insert(snapshot.elements.end(), {e.offset, e.type, e.usage, e.unit});
    }
    const std::size_t floatCount = std::size_t(mesh.vertexCount) * mesh.vertexStride / 4;
    for (std::size_t i = 0; i < floatCount; ++i)
        snapshot.vertexBits.push_back(bitsOf(mesh.vertices[i]));
    snapshot.indices.assign(mesh.indices, mesh.indices + mesh.indexCount);
    for (const VESK::CSubMesh& subMesh : mesh.subMeshes)
        snapshot.subMeshes.push_back(MeshSnapshot::SubMesh{subMesh.name, subMesh.textureName, subMesh.firstIndex,
                                                           subMesh.triangleCount, materialBits(subMesh.material)});
    return snapshot;
}

// Short enough for a failure message: counts and the first differences are
// found by the caller comparing members.
inline void PrintTo(const MeshSnapshot& mesh, std::ostream* out)
{
    *out << "{stride " << mesh.vertexStride << ", " << mesh.vertexCount << " vertices, " << mesh.indices.size()
         << " indices, " << mesh.subMeshes.size() << " sub-meshes}";
}
