#include "CLogManager.h"

#include "CLog.h"

namespace DEBUGGING {

CLog* CLogManager::getLog(std::string name)
{
    if (logs.find(name) == logs.end())
        createLog(name);
    return logs.find(name)->second;
}

void CLogManager::createLog(const std::string& name)
{
    logs.emplace(name, new CLog(name.c_str()));
}

void CLogManager::shutdown()
{
    for (auto& entry : logs) {
        delete entry.second;
        entry.second = nullptr;
    }
    logs.clear();
}

}  // namespace DEBUGGING
