#include <cstddef>
#include <cstdint>
#include <iostream>

#include "app/CSceneNode.h"

// Reads each input as a scene file into a fresh tree and destroys it again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = (std::cout.setstate(std::ios::failbit), true);
    (void)quiet;
    CSceneNode root;
    root.readSceneGraph(reinterpret_cast<const char*>(data), size);
    return 0;
}
