#include "CResourceManager.h"

#include <limits>
#include <ostream>

#include "../../debugging/CLog.h"
#include "../../debugging/Logging.h"
#include "CResource.h"

namespace VESK {

namespace {

void logLine(const char* what, const std::string& key)
{
    if (DEBUGGING::globalLog != nullptr)
        *DEBUGGING::globalLog << what << key << std::endl;
}

}  // namespace

CResourceManager::~CResourceManager()
{
    releaseAll();
}

void CResourceManager::addResource(const std::string& key, CResource* resource)
{
    if (resources.find(key) != resources.end())
        return;
    resources.emplace(key, resource);
    logLine("CResourceManager - LOADING : ", key);
}

CResource* CResourceManager::getResource(const std::string& key)
{
    const auto found = resources.find(key);
    if (found == resources.end() || found->second == nullptr)
        return nullptr;
    // The viewer looks every drawn resource up on every frame: a long run
    // reaches the largest count, where the count stays.
    if (found->second->useCount < std::numeric_limits<int>::max())
        ++found->second->useCount;
    return found->second;
}

void CResourceManager::releaseResource(const std::string& key)
{
    const auto found = resources.find(key);
    if (found == resources.end())
        return;
    logLine("CResourceManager - RELEASE : ", found->first);
    resources.erase(found);
}

void CResourceManager::releaseAll()
{
    // The sweep runs over a map of its own: a destructor that releases an entry
    // (a named resource) then finds the registry already empty, so every entry
    // is logged once and destroyed once. Resources registered by a destructor
    // are swept in the next round.
    while (!resources.empty()) {
        std::map<std::string, CResource*> sweeping;
        sweeping.swap(resources);
        for (const auto& entry : sweeping) {
            logLine("CResourceManager - RELEASE : ", entry.first);
            delete entry.second;
        }
    }
}

}  // namespace VESK
