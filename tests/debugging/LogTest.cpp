#include <ostream>

#include "debugging/CLog.h"
#include "debugging/CLogManager.h"
#include "debugging/Logging.h"
#include "support/TempWorkDir.h"

using namespace DEBUGGING;

using LogTest = TempWorkDir;

namespace {

void expectStampedLines(const std::vector<std::string>& lines, const std::vector<std::string>& expected)
{
    ASSERT_EQ(lines.size(), expected.size() + 2);
    EXPECT_EQ(lines[1], "");
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(isStampedLine(lines[i + 2], expected[i])) << lines[i + 2];
}

}  // namespace

TEST_F(LogTest, FileHasHeaderTaggedLinesAndStopLineAndTruncatesEarlierContent)
{
    writeFile("a.log", "old content that must disappear\n");
    {
        CLog log("a.log");
        EXPECT_EQ(readFile("a.log"), "LOG NAME : a.log\n\n") << "the start line waits for the next flush";
        const struct {
            int level;
            const char* text;
        } writes[] = {{LOG_INFOS, "plain"}, {LOG_DEBUG, "debug"}, {LOG_WARNING, "warn"},
                      {LOG_ERROR, "error"}, {0, "bare"},         {5, "bare"},
                      {-1, "bare"}};
        for (const auto& entry : writes) {
            log.level = entry.level;
            log << entry.text << '\n';
        }
        log.level = LOG_ERROR;
    }
    const std::vector<std::string> lines = readLines("a.log");
    EXPECT_EQ(lines[0], "LOG NAME : a.log");
    expectStampedLines(lines, {" -> -- LOGGING START --", " -> [ INFOS ] plain", " -> [ DEBUG ] debug",
                               " -> [WARNING] warn", " -> [ ERROR ] error", " -> bare", " -> bare", " -> bare",
                               " -> -- LOGGING STOP --"});

    CLog unopenable("no/such/folder/d.log");
    unopenable.write("lost") << std::endl;
    EXPECT_FALSE(std::filesystem::exists("no"));
}

// One log per name until shutdown, which closes each once; logMessage sets the
// level that streamed lines keep, and does nothing without an open log.
TEST_F(LogTest, ManagerKeepsOneLogPerNameAndLogMessageSetsTheLevelOfStreamedLines)
{
    CLogManager& manager = CLogManager::getInstance();
    globalLog = manager.getLog("global.log");
    EXPECT_EQ(manager.getLog("global.log"), globalLog);
    EXPECT_NE(manager.getLog("two.log"), globalLog);
    *globalLog << "before any message" << std::endl;
    logMessage(LOG_WARNING, "x");
    *globalLog << "streamed after a warning" << std::endl;
    logMessage(LOG_ERROR, "broken");
    *globalLog << "streamed after an error" << std::endl;
    manager.shutdown();
    manager.shutdown();
    globalLog = nullptr;
    logMessage(LOG_ERROR, "nowhere to go");
    expectStampedLines(readLines("global.log"),
                       {" -> -- LOGGING START --", " -> [ INFOS ] before any message", " -> [WARNING] x",
                        " -> [WARNING] streamed after a warning", " -> [ ERROR ] broken",
                        " -> [ ERROR ] streamed after an error", " -> -- LOGGING STOP --"});
    expectStampedLines(readLines("two.log"), {" -> -- LOGGING START --", " -> -- LOGGING STOP --"});

    manager.getLog("two.log")->write("fresh") << std::endl;
    manager.shutdown();
    expectStampedLines(readLines("two.log"), {" -> -- LOGGING START --", " -> [ INFOS ] fresh", " -> -- LOGGING STOP --"});
}
