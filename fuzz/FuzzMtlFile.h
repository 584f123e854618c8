#pragma once

#include <string>
#include <string_view>

#include "engine/loaders/VMtlFiles.h"

// The one MTL file of a fuzz input, "fuzz.mtl" beside the OBJ text, served
// from the input's bytes where they lie.
class FuzzMtlFile : public VESK::VMtlFiles {
public:
    explicit FuzzMtlFile(std::string_view bytes) : mtl(bytes) {}

    bool read(const std::string& path, std::string& bytes, std::string& identity) override
    {
        if (path != "fuzz.mtl")
            return false;
        bytes.assign(mtl);
        identity = path;
        return true;
    }

private:
    std::string_view mtl;
};

