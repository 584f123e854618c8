#include <sstream>
#include <string>

#include "debugging/CMemoryManager.h"
#include "support/TempWorkDir.h"

using DEBUGGING::CMemoryManager;

// One test only: the tracker is a singleton whose log is opened once, in the
// working directory of its first use.
using MemoryManagerTest = TempWorkDir;

namespace {

std::string pointerText(const void* address)
{
    std::ostringstream text;
    text << address;
    return text.str();
}

}  // namespace

TEST_F(MemoryManagerTest, CleanReportThenLeakReportWithFullFileNames)
{
    CMemoryManager& manager = CMemoryManager::getInstance();
    EXPECT_EQ(&CMemoryManager::getInstance(), &manager);
    manager.report();

    const char blocks[4] = {};
    const std::string longName(255, 'n');
    manager.addBlock(&blocks[2], 32, "a.cpp", 20);
    manager.addBlock(&blocks[0], 16, "a.cpp", 10);
    manager.addBlock(&blocks[1], 100, longName.c_str(), 4294967295u);
    manager.addBlock(&blocks[3], 1, "replaced.cpp", 1);
    manager.addBlock(&blocks[3], 7, std::string(300, 'x').c_str(), 1);
    manager.report();
    manager.removeBlock(&blocks[1]);
    manager.removeBlock(&blocks[3]);
    manager.removeBlock(&blocks[3]);
    manager.report();
    manager.shutdown();
    manager.shutdown();
    manager.report();

    const std::vector<std::string> lines = readLines("memory.log");
    const std::string open = "-------------------Verification memory----------------------";
    const std::string close(59, '-');
    const std::vector<std::string> expected = {
        " -> -- LOGGING START --",
        " -> [ INFOS ] " + open,
        " -> [ INFOS ] Memory clean",
        " -> [ INFOS ] " + close,
        " -> [ INFOS ] " + open,
        " -> [WARNING] Memory leaks : 4 blocks not free :",
        " -> [WARNING] Adress " + pointerText(&blocks[0]) + " : 16 bytes > File : \"a.cpp\", line 10",
        " -> [WARNING] Adress " + pointerText(&blocks[1]) + " : 100 bytes > File : \"" + longName +
            "\", line 4294967295",
        " -> [WARNING] Adress " + pointerText(&blocks[2]) + " : 32 bytes > File : \"a.cpp\", line 20",
        " -> [WARNING] Adress " + pointerText(&blocks[3]) + " : 7 bytes > File : \"" + std::string(255, 'x') +
            "\", line 1",
        " -> [WARNING] Memory not free : 155 bytes",
        " -> [ INFOS ] " + close,
        " -> [ INFOS ] " + open,
        " -> [WARNING] Memory leaks : 2 blocks not free :",
        " -> [WARNING] Adress " + pointerText(&blocks[0]) + " : 16 bytes > File : \"a.cpp\", line 10",
        " -> [WARNING] Adress " + pointerText(&blocks[2]) + " : 32 bytes > File : \"a.cpp\", line 20",
        " -> [WARNING] Memory not free : 48 bytes",
        " -> [ INFOS ] " + close,
        " -> [ INFOS ] " + open,  // written by shutdown
        " -> [WARNING] Memory leaks : 2 blocks not free :",
        " -> [WARNING] Adress " + pointerText(&blocks[0]) + " : 16 bytes > File : \"a.cpp\", line 10",
        " -> [WARNING] Adress " + pointerText(&blocks[2]) + " : 32 bytes > File : \"a.cpp\", line 20",
        " -> [WARNING] Memory not free : 48 bytes",
        " -> [ INFOS ] " + close,
        " -> -- LOGGING STOP --",
    };
    ASSERT_EQ(lines.size(), expected.size() + 2) << readFile("memory.log");
    EXPECT_EQ(lines[0], "LOG NAME : memory.log");
    EXPECT_EQ(lines[1], "");
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(isStampedLine(lines[i + 2], expected[i])) << "line " << i + 2 << ": " << lines[i + 2];
    EXPECT_EQ(open.size(), 19u + 19u + 22u);
}
