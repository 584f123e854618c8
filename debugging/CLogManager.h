#pragma once

#include <map>
#include <string>

#include "../tools/CSingleton.h"

// Owns the named logs of the engine, among them "global.log". shutdown()
// closes and destroys every log; the destructor then only frees the table.

namespace DEBUGGING {

class CLog;

class CLogManager : public TOOLS::CSingleton<CLogManager> {
public:
    CLogManager() = default;
    ~CLogManager() override = default;

    // Returns the log of that name, opening it first when absent.
    CLog* getLog(std::string name);

    void shutdown() override;

private:
    void createLog(const std::string& name);

    std::map<std::string, CLog*> logs;
};

}  // namespace DEBUGGING
