#include "CMemoryManager.h"

#include <cstring>
#include <ostream>

#include "CLog.h"
#include "Logging.h"

namespace DEBUGGING {

CMemoryManager::CMemoryManager() : reportLog(new CLog("memory.log")) {}

CMemoryManager::~CMemoryManager()
{
    delete reportLog;
}

void CMemoryManager::report()
{
    if (reportLog == nullptr)
        return;
    CLog& log = *reportLog;
    log.level = LOG_INFOS;
    log.write("-------------------Verification memory----------------------\n");
    if (blocks.empty()) {
        log.write("Memory clean\n");
    } else {
        log.level = LOG_WARNING;
        log.write("Memory leaks : ") << static_cast<unsigned long>(blocks.size()) << " blocks not free :\n";
        std::uint32_t total = 0;
        for (const auto& entry : blocks) {
            const CMemoryBlock& block = entry.second;
            log.write("Adress ") << entry.first << " : " << block.size << " bytes > File : \"" << block.file
                                 << "\", line " << block.line << '\n';
            total += block.size;
        }
        log.write("Memory not free : ") << total << " bytes\n";
    }
    log.level = LOG_INFOS;
    log.write("-----------------------------------------------------------\n");
}

void CMemoryManager::shutdown()
{
    report();
    delete reportLog;
    reportLog = nullptr;
}

void CMemoryManager::addBlock(const void* address, std::uint32_t size, const char* file, std::uint32_t line)
{
    CMemoryBlock block;
    block.size = size;
    std::strncpy(block.file, file, sizeof(block.file) - 1);
    block.line = line;
    blocks[address] = block;
}

void CMemoryManager::removeBlock(const void* address)
{
    blocks.erase(address);
}

}  // namespace DEBUGGING
