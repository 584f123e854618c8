#include <ostream>

#include "debugging/CLog.h"
#include "debugging/CLogManager.h"
#include "debugging/Logging.h"
#include "support/TempWorkDir.h"

using namespace DEBUGGING;

using LogTest = TempWorkDir;

TEST_F(LogTest, FileHasHeaderTaggedLinesAndStopLineAndTruncatesEarlierContent)
{
    writeFile("a.log", "old content that must disappear\nsecond old line\n");
    {
        CLog log("a.log");
        log.write("plain") << '\n';
        log.level = LOG_DEBUG;
        log.write("debug") << '\n';
        log.level = LOG_WARNING;
        log << std::string("warn ") << 42 << '\n';
        log.level = LOG_ERROR;
        log << "error" << std::endl;
        for (int odd : {0, 5, -1}) {
            log.level = odd;
            log.write("bare") << '\n';
        }
        log.level = LOG_ERROR;
    }
    const std::vector<std::string> lines = readLines("a.log");
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "LOG NAME : a.log");
    EXPECT_EQ(lines[1], "");
    EXPECT_TRUE(isStampedLine(lines[2], " -> -- LOGGING START --")) << lines[2];
    EXPECT_TRUE(isStampedLine(lines[3], " -> [ INFOS ] plain")) << lines[3];
    EXPECT_TRUE(isStampedLine(lines[4], " -> [ DEBUG ] debug")) << lines[4];
    EXPECT_TRUE(isStampedLine(lines[5], " -> [WARNING] warn 42")) << lines[5];
    EXPECT_TRUE(isStampedLine(lines[6], " -> [ ERROR ] error")) << lines[6];
    for (int i = 7; i < 10; ++i)
        EXPECT_TRUE(isStampedLine(lines[i], " -> bare")) << lines[i];
    EXPECT_TRUE(isStampedLine(lines[10], " -> -- LOGGING STOP --")) << lines[10];
    EXPECT_EQ(readFile("a.log").back(), '\n');
}

TEST_F(LogTest, StartLineWaitsForTheNextFlushButHeaderIsOnDiskAtOnce)
{
    CLog log("b.log");
    EXPECT_EQ(readFile("b.log"), "LOG NAME : b.log\n\n");
    log.write("x") << std::endl;
    EXPECT_EQ(readLines("b.log").size(), 4u);
}

TEST_F(LogTest, TimeStampHasNoLeadingZeros)
{
    {
        CLog log("c.log");
        log.write("t") << '\n';
    }
    const std::string line = readLines("c.log")[3];
    const std::string stamp = line.substr(0, line.find(' '));
    EXPECT_TRUE(std::regex_match(stamp, std::regex(timeStampPattern()))) << stamp;
    for (std::size_t i = 0; i + 1 < stamp.size(); ++i)
        EXPECT_FALSE((i == 0 || stamp[i - 1] == ':') && stamp[i] == '0' && stamp[i + 1] != ':') << stamp;
}

TEST_F(LogTest, UnopenableFileDiscardsEverythingSilently)
{
    CLog log("no/such/folder/d.log");
    log.write("lost") << std::endl;
    EXPECT_FALSE(std::filesystem::exists("no"));
}

TEST_F(LogTest, LogMessageSetsTheLevelThatStreamedLinesKeep)
{
    globalLog = CLogManager::getInstance().getLog("global.log");
    *globalLog << "before any message" << std::endl;
    logMessage(LOG_WARNING, "x");
    *globalLog << "streamed after a warning" << std::endl;
    logMessage(LOG_ERROR, "broken");
    *globalLog << "streamed after an error" << std::endl;
    EXPECT_EQ(globalLog->level, LOG_ERROR);
    CLogManager::getInstance().shutdown();
    globalLog = nullptr;
    logMessage(LOG_ERROR, "nowhere to go");

    const std::vector<std::string> lines = readLines("global.log");
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "LOG NAME : global.log");
    EXPECT_EQ(lines[1], "");
    EXPECT_TRUE(isStampedLine(lines[2], " -> -- LOGGING START --"));
    EXPECT_TRUE(isStampedLine(lines[3], " -> [ INFOS ] before any message")) << lines[3];
    EXPECT_TRUE(isStampedLine(lines[4], " -> [WARNING] x")) << lines[4];
    EXPECT_TRUE(isStampedLine(lines[5], " -> [WARNING] streamed after a warning")) << lines[5];
    EXPECT_TRUE(isStampedLine(lines[6], " -> [ ERROR ] broken")) << lines[6];
    EXPECT_TRUE(isStampedLine(lines[7], " -> [ ERROR ] streamed after an error")) << lines[7];
    EXPECT_TRUE(isStampedLine(lines[8], " -> -- LOGGING STOP --")) << lines[8];
}

TEST_F(LogTest, ManagerReturnsOneLogPerNameAndShutdownClosesAllOnce)
{
    CLogManager& manager = CLogManager::getInstance();
    CLog* first = manager.getLog("one.log");
    first->write("kept") << std::endl;
    EXPECT_EQ(manager.getLog("one.log"), first);
    CLog* second = manager.getLog("two.log");
    EXPECT_NE(second, first);
    manager.shutdown();
    manager.shutdown();

    for (const char* name : {"one.log", "two.log"}) {
        const std::string text = readFile(name);
        EXPECT_EQ(text.rfind("LOG NAME : "), 0u) << name << " has a second header";
        const std::vector<std::string> lines = readLines(name);
        EXPECT_TRUE(isStampedLine(lines.back(), " -> -- LOGGING STOP --")) << name;
    }
    EXPECT_EQ(readLines("one.log").size(), 5u);
    EXPECT_EQ(readLines("two.log").size(), 4u);

    CLog* reopened = manager.getLog("one.log");
    reopened->write("fresh") << std::endl;
    manager.shutdown();
    EXPECT_EQ(readLines("one.log").size(), 5u) << "a reopened log starts afresh";
}
