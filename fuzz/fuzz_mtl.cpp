#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzMtlFile.h"
#include "debugging/CException.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"

// Each input is the MTL file of a fixed OBJ text: one triangle under each of
// two materials, so that the materials the reader makes also become sub-meshes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const VESK::CObjLoader loader;
    static const std::string obj = "mtllib fuzz.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                                   "usemtl A\nf 1/1/1 2/1/1 3/1/1\nusemtl B\nf 3 2 1\n";
    FuzzMtlFile mtlFile(std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        std::unique_ptr<VESK::CMeshData> mesh(loader.loadFromMemory(obj.data(), obj.size(), "input.obj", mtlFile));
    } catch (const DEBUGGING::CException&) {
    }
    return 0;
}
