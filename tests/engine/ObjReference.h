#pragma once

#include <map>
#include <string>

#include "engine/loaders/CMeshData.h"
#include "engine/loaders/VMtlFiles.h"

// Files held in memory by name, as the MTL files of a reading: a path reaches
// the entry of its lexically normal form ("./a.mtl" reaches "a.mtl"), which
// is also its identity.
class MemoryFiles : public VESK::VMtlFiles {
public:
    explicit MemoryFiles(std::map<std::string, std::string> files = {}) : files(std::move(files)) {}

    bool read(const std::string& path, std::string& bytes, std::string& identity) override;

    std::map<std::string, std::string> files;
};

// A mesh record as one line of text, equal for two records exactly when they
// are equal: "stride layout | vertex floats | indices |", then per sub-mesh
// "'name' first+count texture" and the material values that differ from the
// default material's (* when none do). A layout entry is its usage (p, n, c,
// t), element type and @offset; "." is the end marker. Floats are written in
// the shortest form that reads back to the same bits, NaNs as "nan" and their
// bits in hexadecimal.
std::string recordText(const VESK::CMeshData& mesh);

// The record text of what the OBJ text `obj`, read as the file `path`, stands
// for with its MTL files from `mtlFiles`, computed the slow and literal way:
// whole lines split into words, atof and atoi, per-corner index lists, an
// ordered map over vertex bytes for equal vertices, and regrouping by scanning
// the triangles for every material. Tests compare the loader against it. Only
// for text the loader accepts.
std::string referenceText(const std::string& obj, const std::string& path, VESK::VMtlFiles& mtlFiles);

// The same for an OBJ file on disk, with its MTL files beside it.
std::string referenceText(const std::string& path);
