#include <memory>

#include "FuzzInput.h"
#include "debugging/CException.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"

// Each input is the MTL file of a fixed OBJ file: one triangle under each of
// two materials, so that the materials the reader makes also become sub-meshes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static VESK::CObjLoader loader;
    static const std::string obj = [] {
        const char text[] = "mtllib fuzz.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                            "usemtl A\nf 1/1/1 2/1/1 3/1/1\nusemtl B\nf 3 2 1\n";
        return writeFuzzFile("input.obj", text, sizeof(text) - 1);
    }();
    writeFuzzFile("fuzz.mtl", reinterpret_cast<const char*>(data), size);
    try {
        std::unique_ptr<VESK::CMeshData> mesh(static_cast<VESK::CMeshData*>(loader.loadFromFile(obj)));
    } catch (const DEBUGGING::CException&) {
    }
    return 0;
}
