#include "CStreamLog.h"

namespace DEBUGGING {

CStreamLog::CStreamLog(std::ostream& stream)
    : out(stream)
{
}

std::ostream& CStreamLog::write(const std::string& text)
{
    return out << text;
}

}  // namespace DEBUGGING
