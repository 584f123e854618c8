#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzMtlFile.h"
#include "debugging/CException.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"

// Each input is OBJ text and the MTL file "fuzz.mtl" beside it, split at the
// first line "#mtl" (an OBJ comment): the seeds name that file with mtllib,
// and the fuzzer may change or drop the name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const VESK::CObjLoader loader;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find("\n#mtl\n");
    const std::string_view obj = input.substr(0, split);
    FuzzMtlFile mtlFile(split == std::string_view::npos ? std::string_view() : input.substr(split + 6));
    try {
        std::unique_ptr<VESK::CMeshData> mesh(loader.loadFromMemory(obj.data(), obj.size(), "input.obj", mtlFile));
    } catch (const DEBUGGING::CException&) {
    }
    // The outline reading takes its own paths through the same reader.
    try {
        loader.readOutline(obj.data(), obj.size(), "input.obj", mtlFile);
    } catch (const DEBUGGING::CException&) {
    }
    return 0;
}
