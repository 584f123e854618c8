#pragma once

#include <map>
#include <string>

#include "VLoader.h"

// Reads and writes picture files through DevIL and hands them out as CPicture
// records. The loader owns DevIL's global state from its construction to its
// destruction, so at most one CPictureLoader may exist at a time.

namespace VESK {

class CPictureLoader : public VLoader {
public:
    // The extensions the loader registers for.
    static constexpr const char* extensionList = "bmp dds jpg jpeg jpe png ppm tga pgm";

    CPictureLoader();
    ~CPictureLoader() override;

    // Returns a new CPicture, top row first, one byte per channel; throws
    // CException "VESK::CPictureLoader::loadFromFile <file> [FAILED]" when
    // DevIL cannot deliver the whole image.
    void* loadFromFile(std::string fileName) override;
    // Writes the CPicture (may be null) in the format of the file's extension,
    // replacing an existing file; throws CException
    // "VESK::CPictureLoader::saveToFile <file> [FAILED]" on any failure.
    void saveToFile(void* picture, std::string fileName) override;

private:
    std::map<int, int> pictureFormatByBpp;
    std::map<int, int> ilFormatByBpp;
};

}  // namespace VESK
