#pragma once

#include <string>

// Where an OBJ reading finds the MTL files that its mtllib lines name: the
// files on disk for CObjLoader::loadFromFile, or any store of bytes a caller
// keeps (the tests and fuzz targets keep theirs in memory). Owned by the
// caller; it must outlive the reading it is given to.

namespace VESK {

class VMtlFiles {
public:
    virtual ~VMtlFiles() = default;

    // Fills `bytes` with the whole file at `path`, as it is, and `identity`
    // with a text that is equal for two paths naming the same file (each file
    // is read once). Returns false when nothing readable is there.
    virtual bool read(const std::string& path, std::string& bytes, std::string& identity) = 0;
};

}  // namespace VESK
