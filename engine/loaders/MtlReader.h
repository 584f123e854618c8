#pragma once

#include <cstddef>
#include <vector>

#include "CNamedMaterial.h"
#include "CObjOutline.h"

// Reads the materials of one MTL file from its bytes. Read: newmtl, d and Tr
// (the alpha of the colours after them, Tr not inverted), Ns, Ka, Kd, Ks (the
// colour with that alpha) and map_Kd (its first word). Lines before the
// file's first newmtl have no material to change; every other keyword, and a
// line with fewer words than its keyword uses, is left without effect.
// Nothing is refused.

namespace VESK {

// Appends the materials of the MTL text `bytes` to `materials`, in file
// order. With `textureLines`, each map_Kd line that sets a texture name is
// also kept there, as a line of MTL file number `mtlFile`. Throws
// std::bad_alloc when the text does not fit in memory.
void readMaterials(const char* bytes, std::size_t size, std::vector<CNamedMaterial>& materials,
                   std::vector<CObjOutline::TextureLine>* textureLines = nullptr, std::size_t mtlFile = 0);

}  // namespace VESK
