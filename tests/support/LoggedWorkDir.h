#pragma once

#include "debugging/CLog.h"
#include "debugging/CLogManager.h"
#include "debugging/Logging.h"
#include "TempWorkDir.h"

// A fresh working directory with "global.log" opened in it as the global log,
// as the viewer does at start-up; the log is closed again after the test.
class LoggedWorkDir : public TempWorkDir {
protected:
    void SetUp() override
    {
        TempWorkDir::SetUp();
        DEBUGGING::globalLog = DEBUGGING::CLogManager::getInstance().getLog("global.log");
    }

    void TearDown() override
    {
        DEBUGGING::CLogManager::getInstance().shutdown();
        DEBUGGING::globalLog = nullptr;
        TempWorkDir::TearDown();
    }

    // The flushed lines of global.log after its name, blank and start lines,
    // with "T" for each time stamp and without `common`, the start that the
    // caller's lines share.
    static std::vector<std::string> logBody(const std::string& common = "")
    {
        std::vector<std::string> lines;
        std::istringstream in(unstamped(readFile("global.log")));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.rfind(common, 0) == 0 ? line.substr(common.size()) : line);
        lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(3, lines.size()));
        return lines;
    }
};
