#pragma once

#include <cstdint>
#include <map>

#include "../tools/CSingleton.h"
#include "CMemoryBlock.h"

// Keeps the table of blocks still allocated and, at exit, writes its report
// into "memory.log", a log of its own that the constructor opens. Created on
// first use, which in the viewer is the exit handler after the global log has
// been closed.

namespace DEBUGGING {

class CLog;

class CMemoryManager : public TOOLS::CSingleton<CMemoryManager> {
public:
    CMemoryManager();
    ~CMemoryManager() override;

    // Writes the report; does nothing once shutdown() has closed the log.
    void report();

    // Writes the report and closes "memory.log"; a second call does nothing.
    void shutdown() override;

    // Block records. Nothing in the program records blocks; these exist so the
    // leak branch of the report can be exercised. A file name longer than 255
    // characters is cut to 255.
    void addBlock(const void* address, std::uint32_t size, const char* file, std::uint32_t line);
    void removeBlock(const void* address);

private:
    std::map<const void*, CMemoryBlock> blocks;
    CLog* reportLog;
};

}  // namespace DEBUGGING
