#pragma once

#include <map>
#include <string>

#include "../../tools/CSingleton.h"
#include "CSharedPtr.h"
#include "VLoader.h"

// The registry of loaders by lower-case file extension. It owns each
// registered loader through shared handles, so a loader registered under
// several extensions is destroyed once, when its last entry goes (clear(), or
// the factory's destruction at exit).

namespace VESK {

class CFactoryLoader : public TOOLS::CSingleton<CFactoryLoader> {
public:
    CFactoryLoader() = default;
    ~CFactoryLoader() override = default;

    // Registers the loader under each word of its extension list; a word
    // already taken is logged at ERROR and skipped. The loader is destroyed
    // before returning when no word could be registered, and left alone when
    // its list is blank.
    static void registerLoader(VLoader* loader);

    // Loads the path with the loader of the text after its last '.' (case
    // kept). Returns the loader's new record, or null after logging at ERROR
    // when no loader matches or the loader throws CException.
    static void* loadFromFile(std::string path);

    // Removes every entry, destroying each loader once.
    void clear();

private:
    std::map<std::string, CSharedPtr<VLoader>> loaders;
};

}  // namespace VESK
