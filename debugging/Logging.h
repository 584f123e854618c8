#pragma once

#include <string>

// The log levels and the global log that engine code writes to.

namespace DEBUGGING {

class CLog;

constexpr int LOG_INFOS = 1;
constexpr int LOG_DEBUG = 2;
constexpr int LOG_WARNING = 3;
constexpr int LOG_ERROR = 4;

// The log "global.log", owned by CLogManager. Null until the program (or a
// test) opens it; the engine libraries never set it on their own.
extern CLog* globalLog;

// Sets the global log's level, writes the text as one line and flushes it.
// Does nothing while no global log is open.
void logMessage(int level, std::string text);

}  // namespace DEBUGGING
