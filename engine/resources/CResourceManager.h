#pragma once

#include <map>
#include <string>

#include "../../tools/CSingleton.h"

// The registry of shared resources by key (byte-wise ordered). It owns every
// resource registered with it until releaseAll(), which the exit handler calls
// while the GL context and the global log still exist. Each registration and
// release writes one line into the global log at its current level.

namespace VESK {

class CResource;

class CResourceManager : public TOOLS::CSingleton<CResourceManager> {
public:
    CResourceManager() = default;
    ~CResourceManager() override;

    // Takes ownership; a key already present keeps its first resource and the
    // one passed in stays with the caller.
    void addResource(const std::string& key, CResource* resource);

    // Returns the resource (its useCount raised by one, up to the largest int,
    // where it stays), or null when absent.
    CResource* getResource(const std::string& key);

    // Takes the entry out without destroying its resource.
    void releaseResource(const std::string& key);

    // Logs and destroys every resource in key order; the map ends empty.
    void releaseAll();

private:
    std::map<std::string, CResource*> resources;
};

}  // namespace VESK
