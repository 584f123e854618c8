#pragma once

#include <cstdint>
#include <string>

#include "CMaterial.h"

// A material with the range of triangles drawn with it: 3 x triangleCount
// indices starting at firstIndex.

namespace VESK {

struct CSubMesh {
    std::string name;
    CMaterial material;
    std::string textureName;
    std::uint32_t firstIndex = 0;
    std::uint32_t triangleCount = 0;
};

}  // namespace VESK
