#pragma once

#include <fstream>
#include <sstream>
#include <string>

// One text log file. The file is opened (and truncated) by the constructor,
// which writes the header and the start line; the destructor writes the stop
// line and closes it. A log whose file cannot be opened discards what it is
// given. Logs of the global table are owned by CLogManager; memory.log is owned
// by CMemoryManager.

namespace DEBUGGING {

class CLog {
public:
    explicit CLog(const char* fileName);
    virtual ~CLog();

    CLog(const CLog&) = delete;
    CLog& operator=(const CLog&) = delete;

    // Writes the time stamp, the tag of `level` and the text; no newline, no
    // flush. Returns the file stream so the caller can append and end the line.
    virtual std::ostream& write(const std::string& text);

    const std::string& getName() const { return name; }

    // Tag of the next line written through write(); set directly by callers.
    int level;

protected:
    // For logs that write their messages elsewhere: opens no file, so the
    // header and the start and stop lines go nowhere.
    CLog();

private:
    void writeUntagged(const std::string& text);

    std::string name;
    std::ofstream file;
};

// Streams one value into the log: the value is formatted like std::ostream
// formats it and handed to write(); anything chained after it goes straight
// into the file on the same line.
template <class T>
std::ostream& operator<<(CLog& log, const T& value)
{
    std::ostringstream text;
    text << value;
    return log.write(text.str());
}

}  // namespace DEBUGGING
