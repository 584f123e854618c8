#include <cstdint>
#include <string>

#include "debugging/CMemoryManager.h"
#include "support/TempWorkDir.h"

using DEBUGGING::CMemoryManager;

// One test only: the tracker is a singleton whose log is opened once, in the
// working directory of its first use. The clean report is checked end to end.
using MemoryManagerTest = TempWorkDir;

TEST_F(MemoryManagerTest, LeakReportInAddressOrderWithFileNamesCut)
{
    CMemoryManager& manager = CMemoryManager::getInstance();
    // The tracker only records addresses.
    const auto block = [](std::uintptr_t address) { return reinterpret_cast<const void*>(address); };
    manager.addBlock(block(0x30), 32, "a.cpp", 20);
    manager.addBlock(block(0x10), 7, std::string(300, 'x').c_str(), 4294967295u);
    manager.addBlock(block(0x20), 100, "removed.cpp", 1);
    manager.removeBlock(block(0x20));
    manager.shutdown();
    manager.shutdown();
    manager.report();

    EXPECT_EQ(unstamped(readFile("memory.log")), logText("memory.log", {
        "[ INFOS ] -------------------Verification memory----------------------",
        "[WARNING] Memory leaks : 2 blocks not free :",
        "[WARNING] Adress 0x10 : 7 bytes > File : \"" + std::string(255, 'x') + "\", line 4294967295",
        "[WARNING] Adress 0x30 : 32 bytes > File : \"a.cpp\", line 20",
        "[WARNING] Memory not free : 39 bytes",
        "[ INFOS ] " + std::string(59, '-'),
    }));
}
