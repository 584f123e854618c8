#pragma once

#include <cstdint>

// The run of triangles of one sub-mesh inside a model's index buffer; the first
// index is counted in indices, not bytes.

namespace VESK_GL {

struct CSubMeshRange {
    std::int32_t firstIndex;
    std::int32_t triangleCount;
};

}  // namespace VESK_GL
