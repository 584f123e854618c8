#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "SceneLayout.h"

// Writes a scene folder for the viewer: "SceneGraph.sg", and in "Data/",
// under the names the viewer will ask for, symbolic links to the files given
// or files written anew. The folder is opened once and everything is written
// through that handle, so it all lands in the folder checked, whatever is
// renamed meanwhile. It remembers what it wrote: a name asked for twice for
// the same file is written once, and removeWritten() takes it all away again.
// Owns the folder's descriptor.
class SceneFolder {
public:
    SceneFolder() = default;
    ~SceneFolder();

    SceneFolder(const SceneFolder&) = delete;
    SceneFolder& operator=(const SceneFolder&) = delete;

    // Opens the folder, making it (and the folders above it) when missing.
    // False, with error() saying why, when it cannot be made or opened, is a
    // symbolic link, or is not empty.
    bool open(const std::filesystem::path& folder);

    enum class Link {
        made,     // "Data/" + name now holds the file
        present,  // it did already
        taken,    // it holds another file, and is left so
        failed,   // nothing could be written there (error() says why)
    };

    // Links "Data/" + name (a relative path, which may hold folders) to the
    // file, named by an absolute path.
    Link link(const std::string& name, const std::filesystem::path& file);
    // Writes "Data/" + name as a file of its own, made from `source` by
    // `write`, which returns false when a write fails.
    Link write(const std::string& name, const std::filesystem::path& source,
               const std::function<bool(std::FILE*)>& write);

    // Links the entry `name` of the folder itself (not of Data/) to the file.
    // False, with error() saying why, when it cannot.
    bool linkAtTop(const std::string& name, const std::filesystem::path& file);

    // `name`, or when another file has it already, the first of name-2,
    // name-3, ... (before the extension) that is free; every part of the
    // path kept within the 255 bytes a file name may have.
    std::string freeName(const std::string& name, const std::filesystem::path& file) const;

    const std::filesystem::path& fileAt(const std::string& name) const { return taken.at(normal(name)); }
    const std::string& error() const { return lastError; }

    // Writes "SceneGraph.sg": one frame per mesh name, in order, each with its
    // matrix from the layout. False when the file cannot be written.
    bool writeScene(const std::vector<std::string>& meshNames, const SceneLayout& layout);

    // Removes every file and folder written, the opened folder too when open() made it.
    void removeWritten();

private:
    static std::string normal(const std::string& name);
    Link claim(const std::string& name, const std::filesystem::path& file);
    // The descriptor of the folder that holds `path`, made as needed;
    // -1 after setting lastError. The caller closes it unless it is root.
    int parentOf(const std::filesystem::path& path);
    bool writeFile(const std::filesystem::path& path, const std::function<bool(std::FILE*)>& write);
    // Removes a file whose writing failed, so that the viewer never reads part
    // of it as whole; false, with lastError naming `error`.
    bool removeUnfinished(const std::filesystem::path& path, int error);
    bool failWith(const std::string& what);

    std::filesystem::path root;
    int rootDescriptor = -1;
    bool madeRoot = false;
    std::map<std::string, std::filesystem::path> taken;
    // Paths below the folder, in the order made.
    std::vector<std::filesystem::path> written;
    std::string lastError;
};
