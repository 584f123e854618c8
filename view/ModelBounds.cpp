#include "ModelBounds.h"

#include <algorithm>
#include <cmath>

ModelBounds::ModelBounds(const VESK::CMeshData& mesh)
{
    int normalOffset = -1;
    for (std::uint32_t i = 0; i < mesh.elementCount; ++i)
        if (mesh.elements[i].usage == VESK::DECLUSAGE_NORMAL)
            normalOffset = mesh.elements[i].offset / 4;
    const std::size_t floatsPerVertex = mesh.vertexStride / 4;
    // Only vertices that a triangle uses are drawn.
    auto vertexOf = [&](std::uint32_t index) { return mesh.vertices + std::size_t(mesh.indices[index]) * floatsPerVertex; };

    for (int axis = 0; axis < 3; ++axis)
        low[axis] = high[axis] = vertexOf(0)[axis];
    for (std::uint32_t i = 0; i < mesh.indexCount; ++i) {
        const float* vertex = vertexOf(i);
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], double(vertex[axis]));
            high[axis] = std::max(high[axis], double(vertex[axis]));
        }
        if (normalOffset >= 0 && !shadable)
            shadable = vertex[normalOffset] != 0.0f || vertex[normalOffset + 1] != 0.0f || vertex[normalOffset + 2] != 0.0f;
    }
    for (int axis = 0; axis < 3; ++axis)
        centre[axis] = (low[axis] + high[axis]) / 2.0;
    for (std::uint32_t i = 0; i < mesh.indexCount; ++i) {
        const float* vertex = vertexOf(i);
        const double dx = vertex[0] - centre[0], dy = vertex[1] - centre[1], dz = vertex[2] - centre[2];
        radius = std::max(radius, std::sqrt(dx * dx + dy * dy + dz * dz));
    }
}
