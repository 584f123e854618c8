#pragma once

#include <cstdint>

// One tracked block of the memory report: its size and the source location
// that allocated it (a NUL-terminated file name of at most 255 characters).

namespace DEBUGGING {

struct CMemoryBlock {
    std::uint32_t size = 0;
    char file[256] = {};
    std::uint32_t line = 0;
};

}  // namespace DEBUGGING
