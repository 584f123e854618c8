#include <ostream>

#include "debugging/CLog.h"
#include "debugging/CLogManager.h"
#include "debugging/Logging.h"
#include "support/TempWorkDir.h"

using namespace DEBUGGING;

using LogTest = TempWorkDir;

// A log truncates its file and tags each line with its level (a level outside
// the four has no tag); streamed lines keep the level logMessage set last. The
// manager keeps one log per name until shutdown, which closes each once, and
// opens a name afresh after it. Without a global log or a file nothing is
// written.
TEST_F(LogTest, LinesCarryTheLevelLastSetAndEachLogIsClosedOnce)
{
    writeFile("global.log", "old content that must disappear\n");
    CLogManager& manager = CLogManager::getInstance();
    globalLog = manager.getLog("global.log");
    EXPECT_EQ(manager.getLog("global.log"), globalLog);
    EXPECT_EQ(readFile("global.log"), "LOG NAME : global.log\n\n") << "the start line waits for the next flush";
    *globalLog << "before any message" << std::endl;
    for (const int level : {LOG_DEBUG, LOG_WARNING, LOG_ERROR, 0, -1})
        logMessage(level, "level " + std::to_string(level));
    *globalLog << "streamed after level -1" << std::endl;
    manager.getLog("two.log");
    manager.shutdown();
    manager.shutdown();
    globalLog = nullptr;
    logMessage(LOG_ERROR, "nowhere to go");
    CLog("no/such/folder/d.log").write("lost") << std::endl;
    EXPECT_FALSE(std::filesystem::exists("no"));
    manager.getLog("two.log")->write("fresh") << std::endl;
    manager.shutdown();

    EXPECT_EQ(unstamped(readFile("global.log")),
              logText("global.log", {"[ INFOS ] before any message", "[ DEBUG ] level 2", "[WARNING] level 3",
                                     "[ ERROR ] level 4", "level 0", "level -1", "streamed after level -1"}));
    EXPECT_EQ(unstamped(readFile("two.log")), logText("two.log", {"[ INFOS ] fresh"}));
}
