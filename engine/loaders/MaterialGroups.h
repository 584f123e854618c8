#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "CMaterialMark.h"
#include "CNamedMaterial.h"

// Regrouping the triangles of an OBJ reading by material, on the index list
// only through its positions.

namespace VESK {

struct CMaterialGroups {
    // The ranges [first, end) of the corners in file order that make up the
    // regrouped list, in their new order.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
    // Where each group begins in the regrouped list: one per material, in
    // the order of the materials, then one for the triangles no material
    // claims, when there are any.
    std::vector<std::uint32_t> starts;
};

// Groups `cornerCount` corners under the usemtl `marks` by `materials`: each
// material collects the triangles of every mark of its name, in file order
// (two materials of one name each collect them); the triangles before the
// first mark or under a name no material bears form the last group. Without
// materials, one range of everything and no group. Throws CObjRefusal when
// the regrouped list would not fit in 32-bit indices.
CMaterialGroups groupByMaterial(const std::vector<CNamedMaterial>& materials, const std::vector<CMaterialMark>& marks,
                                std::uint32_t cornerCount);

}  // namespace VESK
