#include <memory>
#include <string_view>

#include "FuzzInput.h"
#include "debugging/CException.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"

// Each input is an OBJ file and the MTL file "fuzz.mtl" beside it, split at
// the first line "#mtl" (an OBJ comment): the seeds name that file with
// mtllib, and the fuzzer may change or drop the name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static VESK::CObjLoader loader;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find("\n#mtl\n");
    const std::string_view obj = input.substr(0, split);
    const std::string_view mtl = split == std::string_view::npos ? std::string_view() : input.substr(split + 6);
    writeFuzzFile("fuzz.mtl", mtl.data(), mtl.size());
    const std::string path = writeFuzzFile("input.obj", obj.data(), obj.size());
    try {
        std::unique_ptr<VESK::CMeshData> mesh(static_cast<VESK::CMeshData*>(loader.loadFromFile(path)));
    } catch (const DEBUGGING::CException&) {
    }
    // The outline reading takes its own paths through the same reader.
    try {
        loader.readOutline(path);
    } catch (const DEBUGGING::CException&) {
    }
    return 0;
}
