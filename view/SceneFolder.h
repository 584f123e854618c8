#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "SceneLayout.h"

// Writes a scene folder for the viewer into an existing, empty folder that
// the caller owns: "SceneGraph.sg", and in "Data/" symbolic links, by the
// names the viewer will ask for, to the files given. It remembers each link
// it made, so that a name asked for twice is linked once.
class SceneFolder {
public:
    explicit SceneFolder(std::filesystem::path folder);

    enum class Link {
        made,     // "Data/" + name now links to the file
        present,  // it did already
        taken,    // it links to another file, and is left so
        failed,   // no link could be made there (error() says why)
    };

    // Links "Data/" + name (a relative path, which may hold folders) to the
    // file, named by an absolute path.
    Link link(const std::string& name, const std::filesystem::path& file);
    const std::filesystem::path& linkedFile(const std::string& name) const { return links.at(name); }
    const std::string& error() const { return lastError; }

    // Writes "SceneGraph.sg": one frame per mesh name, in order, each with its
    // matrix from the layout. False when the file cannot be written.
    bool writeScene(const std::vector<std::string>& meshNames, const SceneLayout& layout);

private:
    std::filesystem::path root;
    std::map<std::string, std::filesystem::path> links;
    std::string lastError;
};
