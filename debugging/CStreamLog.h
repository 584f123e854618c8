#pragma once

#include <ostream>
#include <string>

#include "CLog.h"

// A log that passes each message on to a stream it does not own, without
// time stamp, level tag, header or start and stop lines. The command-line
// tools point the global log at one on standard error, so that a user sees
// only what failed, appended to wherever standard error goes. The owner keeps
// it alive for as long as the global log points at it.

namespace DEBUGGING {

class CStreamLog : public CLog {
public:
    explicit CStreamLog(std::ostream& stream);

    std::ostream& write(const std::string& text) override;

private:
    std::ostream& out;
};

}  // namespace DEBUGGING
