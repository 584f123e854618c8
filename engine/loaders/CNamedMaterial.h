#pragma once

#include <string>

#include "CMaterial.h"

// A material as read from an MTL file: its name, its lighting values and the
// file name of its diffuse texture as written (empty: no texture).

namespace VESK {

struct CNamedMaterial {
    std::string name;
    CMaterial material;
    std::string textureName;
};

}  // namespace VESK
