#include <iostream>

#include "FuzzInput.h"
#include "app/CSceneNode.h"

// Reads each input as a scene file into a fresh tree and destroys it again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool quiet = (std::cout.setstate(std::ios::failbit), true);
    (void)quiet;
    const std::string path = writeFuzzInput(data, size, ".sg");
    CSceneNode root;
    root.loadSceneGraph(path);
    return 0;
}
