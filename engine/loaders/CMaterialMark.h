#pragma once

#include <cstdint>
#include <string>

namespace VESK {

// A usemtl line of an OBJ file: the material name it gives, and where its
// group begins, the number of triangle corners before it.
struct CMaterialMark {
    std::string name;
    std::uint32_t start;
};

}  // namespace VESK
