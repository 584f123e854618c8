#include "CLog.h"

#include <ctime>

#include "Logging.h"

namespace DEBUGGING {

namespace {

const char* tagOf(int level)
{
    switch (level) {
    case LOG_INFOS: return " -> [ INFOS ] ";
    case LOG_DEBUG: return " -> [ DEBUG ] ";
    case LOG_WARNING: return " -> [WARNING] ";
    case LOG_ERROR: return " -> [ ERROR ] ";
    default: return " -> ";
    }
}

}  // namespace

CLog::CLog(const char* fileName)
    : level(LOG_INFOS), name(fileName), file(fileName, std::ios::out | std::ios::trunc)
{
    file << "LOG NAME : " << name << '\n' << std::flush << '\n' << std::flush;
    writeUntagged("-- LOGGING START --\n");
}

CLog::CLog()
    : level(LOG_INFOS)
{
}

CLog::~CLog()
{
    writeUntagged("-- LOGGING STOP --\n");
    if (!file.fail())
        file.close();
}

std::ostream& CLog::write(const std::string& text)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    file << local.tm_hour << ':' << local.tm_min << ':' << local.tm_sec << tagOf(level) << text;
    return file;
}

void CLog::writeUntagged(const std::string& text)
{
    const int kept = level;
    level = 0;
    write(text);
    level = kept;
}

}  // namespace DEBUGGING
