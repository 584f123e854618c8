#pragma once

#include <string>

// A loader knows one family of file formats and turns a file into a record
// that the caller owns. Loaders are owned by CFactoryLoader once registered;
// they report failure by throwing DEBUGGING::CException.

namespace VESK {

class VLoader {
public:
    explicit VLoader(std::string extensionList);
    virtual ~VLoader();

    VLoader(const VLoader&) = delete;
    VLoader& operator=(const VLoader&) = delete;

    // Returns a new record owned by the caller; throws CException on failure.
    virtual void* loadFromFile(std::string path) = 0;
    // Writes a record of the loader's own kind; throws CException on failure.
    virtual void saveToFile(void* record, std::string path) = 0;

    // The extension words as given to the constructor, separated by blanks.
    std::string extensions;
};

}  // namespace VESK
