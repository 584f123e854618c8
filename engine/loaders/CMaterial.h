#pragma once

#include "../../math/CMyVector.h"

// The lighting values of a surface, as the renderer hands them to GL. A plain
// value record.

namespace VESK {

struct CMaterial {
    CMyVector<float, 4> ambient{0.1f, 0.1f, 0.1f, 1.0f};
    CMyVector<float, 4> diffuse{0.7f, 0.7f, 0.7f, 1.0f};
    CMyVector<float, 4> specular{0.2f, 0.2f, 0.2f, 1.0f};
    CMyVector<float, 4> emission{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 10.0f;
};

}  // namespace VESK
