#pragma once

#include <map>
#include <set>
#include <string>

#include "Model.h"
#include "SceneFolder.h"

// Puts what the viewer reads of one model into a scene folder: the OBJ file
// (or, for a model without normals, a copy with smooth ones), its MTL files
// (or copies whose map_Kd lines name pictures as the viewer reads them) and
// their pictures. It says on standard error what the viewer will not manage,
// once each, and keeps the paths below the folder of the pictures it reported
// missing, so that the viewer's own report of them can be left out.
class ModelFiles {
public:
    explicit ModelFiles(SceneFolder& folder) : folder(folder) {}

    // False, after a message, when the model's own file cannot be put there;
    // what its MTL files and pictures lack is only said.
    bool lay(const Model& model);

    const std::set<std::string>& missingPictures() const { return missing; }

private:
    // A picture's name below Data/, and whether it was found to link there.
    struct Picture {
        std::string name;
        bool found;
    };

    void layMaterials(const Model& model, std::size_t mtlFile);
    Picture linkPicture(const Model& model, const VESK::CObjOutline::MtlFile& mtlFile,
                        const std::vector<std::string>& words, std::set<std::string>& dropped);
    bool placed(const Model& model, const std::string& name, const std::filesystem::path& file,
                SceneFolder::Link result);
    void report(const Model& model, const std::string& kind, const std::string& text);

    SceneFolder& folder;
    std::set<std::string> missing;
    std::set<std::string> reported;
    // How often each kind of absence was met for the model being laid out.
    std::map<std::string, std::size_t> reports;
};

// Writes "vesk-view: FILE: TEXT" on standard error.
void warn(const std::string& file, const std::string& text);
