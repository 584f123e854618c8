#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "debugging/CException.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"
#include "engine/loaders/VMtlFiles.h"

namespace {

// The one MTL file of an input, "fuzz.mtl" beside the OBJ text.
class FuzzMtlFile : public VESK::VMtlFiles {
public:
    explicit FuzzMtlFile(std::string_view bytes) : mtl(bytes) {}

    bool read(const std::string& path, std::string& bytes, std::string& identity) override
    {
        if (path != "fuzz.mtl")
            return false;
        bytes.assign(mtl);
        identity = path;
        return true;
    }

private:
    std::string_view mtl;
};

}  // namespace

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
