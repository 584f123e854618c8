#include "Logging.h"

#include <ostream>

#include "CLog.h"

namespace DEBUGGING {

CLog* globalLog = nullptr;

void logMessage(int level, std::string text)
{
    if (globalLog == nullptr)
        return;
    globalLog->level = level;
    *globalLog << text << std::endl;
}

}  // namespace DEBUGGING
