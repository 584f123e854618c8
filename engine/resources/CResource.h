#pragma once

#include <string>

// Base of the named, shared assets (models, textures). Once registered with
// CResourceManager the manager owns the resource and destroys it at exit.

namespace VESK {

class CResource {
public:
    CResource();
    // A named resource takes its own entry out of the registry.
    virtual ~CResource();

    CResource(const CResource&) = delete;
    CResource& operator=(const CResource&) = delete;

    std::string name;
    // 1 at construction, raised by each lookup up to the largest int. Nothing
    // reads it.
    int useCount;
};

}  // namespace VESK
