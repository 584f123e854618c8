#pragma once

#include <cstdint>

// One entry of a vertex layout: where an attribute sits in an interleaved
// vertex, its data type, what it is used for and, for texture coordinates, its
// texture unit. Element arrays end with an entry whose four fields are 0.

namespace VESK {

enum DeclType : std::int32_t {
    DECLTYPE_NONE = 0,
    DECLTYPE_FLOAT1 = 1,
    DECLTYPE_FLOAT2 = 2,
    DECLTYPE_FLOAT3 = 3,
    DECLTYPE_FLOAT4 = 4,
    DECLTYPE_COLOR = 5,
    DECLTYPE_UBYTE4 = 6,
};

enum DeclUsage : std::int32_t {
    DECLUSAGE_POSITION = 1,
    DECLUSAGE_NORMAL = 2,
    DECLUSAGE_COLOR = 3,
    DECLUSAGE_TEXCOORD = 4,
    DECLUSAGE_TEXCOORD_SHIFTED = 5,
    DECLUSAGE_EXTRA1 = 6,
    DECLUSAGE_EXTRA2 = 7,
    DECLUSAGE_EXTRA3 = 8,
    DECLUSAGE_EXTRA4 = 9,
};

struct CVertexElement {
    std::int32_t offset;
    std::int32_t type;
    std::int32_t usage;
    std::int32_t unit;

    bool isEndMarker() const { return offset == 0 && type == 0 && usage == 0 && unit == 0; }
};

}  // namespace VESK
