#include "ModelFiles.h"

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <iostream>
#include <map>

#include "ObjWithNormals.h"
#include "TextureLine.h"
#include "app/ViewerSetup.h"
#include "engine/loaders/CPictureLoader.h"

namespace fs = std::filesystem;

void warn(const std::string& file, const std::string& text)
{
    std::cerr << "vesk-view: " << file << ": " << text << std::endl;
}

namespace {

// The path below Data/ at which the viewer looks for a name that a file
// gives (it reads a backslash as '/'); empty when that path leaves the folder.
std::string dataPath(const std::string& name)
{
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    bool leaves = path.empty() || path[0] == '/';
    for (const fs::path& part : fs::path(path))
        leaves = leaves || part == "..";
    return leaves ? std::string() : path;
}

// The same name made to stay in the folder: what follows its last "..".
std::string insidePath(const std::string& path)
{
    fs::path inside;
    for (const fs::path& part : fs::path(path).relative_path())
        inside = part == ".." ? fs::path() : inside / part;
    return inside.lexically_normal().string();
}

// Copies the MTL file line for line into `out`, each line whose number is a
// key replaced by its value. Read in blocks, so that no line, however long,
// is held whole.
bool copyReplacingLines(const std::string& source, const std::map<std::uint64_t, std::string>& lines, std::FILE* out)
{
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (in == nullptr)
        return false;
    std::uint64_t line = 1;
    bool skipping = lines.count(1) != 0;
    if (skipping)
        std::fputs(lines.at(1).c_str(), out);
    char block[1 << 16];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof(block), in)) > 0) {
        for (std::size_t start = 0; start < count;) {
            const char* feed = static_cast<const char*>(std::memchr(block + start, '\n', count - start));
            const std::size_t end = feed == nullptr ? count : std::size_t(feed - block) + 1;
            if (!skipping)
                std::fwrite(block + start, 1, end - start, out);
            start = end;
            if (feed != nullptr) {
                const auto replaced = lines.find(++line);
                skipping = replaced != lines.end();
                if (skipping)
                    std::fputs((replaced->second).c_str(), out);
            }
        }
    }
    const bool read = std::ferror(in) == 0;
    std::fclose(in);
    return read && std::ferror(out) == 0;
}

}  // namespace

bool ModelFiles::placed(const Model& model, const std::string& name, const fs::path& file, SceneFolder::Link result)
{
    switch (result) {
    case SceneFolder::Link::made:
    case SceneFolder::Link::present:
        return true;
    case SceneFolder::Link::taken:
        warn(model.file, ViewerSetup::dataFolder + name + " is " + folder.fileAt(name).string() + " already; " +
                             file.string() + " is not used");
        return false;
    case SceneFolder::Link::failed:
        warn(model.file, "cannot write Data/" + name + ": " + folder.error());
        return false;
    }
    return false;
}

// A file may name millions of files that are not there: each kind of
// absence is said this many times for a model, then counted.
constexpr std::size_t reportsPerKind = 10;

void ModelFiles::report(const Model& model, const std::string& kind, const std::string& text)
{
    if (++reports[kind] <= reportsPerKind)
        warn(model.file, text);
}

bool ModelFiles::lay(const Model& model)
{
    const VESK::CObjOutline& outline = model.outline;
    const std::string objName = model.name + ".obj";
    const fs::path objFile = fs::absolute(model.file);
    if (!outline.corners.empty()) {
        if (!placed(model, objName, objFile, folder.write(objName, objFile, [&](std::FILE* file) {
                return writeObjWithNormals(outline, file);
            })))
            return false;
        warn(model.file, "no normals (vn); smooth normals computed");
    } else if (!placed(model, objName, objFile, folder.link(objName, objFile))) {
        return false;
    } else if (!outline.hasNormals) {
        warn(model.file, "its faces name no normals (vn); the light cannot shade it");
    }
    for (std::size_t i = 0; i < outline.mtlFiles.size(); ++i)
        layMaterials(model, i);
    for (const auto& [kind, count] : reports)
        if (count > reportsPerKind)
            warn(model.file, "and " + std::to_string(count - reportsPerKind) + " more " + kind);
    reports.clear();
    return true;
}

// The name in the scene folder under which the viewer reads the picture that
// a map_Kd line names, with the picture linked there: the name as written
// when the viewer reads it so and nothing else has it, else one made for it.
// A picture is looked for beside the MTL file, then beside the model, then
// by its file name alone beside the MTL file.
ModelFiles::Picture ModelFiles::linkPicture(const Model& model, const VESK::CObjOutline::MtlFile& mtlFile,
                                            const std::vector<std::string>& words, std::set<std::string>& dropped)
{
    const TextureLine line(words);
    dropped.insert(line.placementOptions.begin(), line.placementOptions.end());
    if (line.picture.empty())
        return Picture{std::string(), true};
    const std::string written = line.readAsWritten ? dataPath(line.picture) : std::string();
    std::string path = line.picture;
    std::replace(path.begin(), path.end(), '\\', '/');
    const bool absolute = fs::path(path).is_absolute();
    const std::string inside = absolute ? fs::path(path).filename().string() : insidePath(path);
    // Files written on another machine often name a folder of that machine:
    // the picture is then looked for beside the MTL file by its name alone.
    const fs::path mtlFolder = fs::path(mtlFile.path).parent_path();
    std::vector<fs::path> places;
    for (const fs::path& place : {absolute ? fs::path(path) : mtlFolder / inside,
                                  absolute ? fs::path() : fs::path(model.file).parent_path() / inside,
                                  mtlFolder / fs::path(inside).filename()})
        if (!place.empty() && std::find(places.begin(), places.end(), place) == places.end())
            places.push_back(place);
    const auto found = std::find_if(places.begin(), places.end(), [](const fs::path& place) {
        std::error_code error;
        return fs::is_regular_file(place, error);
    });
    const fs::path file = found == places.end() ? fs::path() : fs::absolute(*found);
    const std::string name =
        !written.empty() && folder.freeName(written, file) == fs::path(written).lexically_normal().string()
            ? written
            : folder.freeName(TextureLine({inside}).viewerName(), file);
    if (!hasPictureExtension(name) && reported.insert("extension " + name).second)
        warn(model.file, "picture " + line.picture + ": the viewer reads only the extensions " +
                             VESK::CPictureLoader::extensionList + "; drawn untextured");
    if (found == places.end()) {
        if (reported.insert("missing " + name).second) {
            std::string lookedIn;
            for (const fs::path& place : places)
                lookedIn += (lookedIn.empty() ? "" : " or ") + place.string();
            report(model, "pictures not found", "picture " + line.picture + " not found as " + lookedIn +
                                                     "; drawn untextured");
        }
        return Picture{name, false};
    }
    placed(model, name, file, folder.link(name, file));
    return Picture{name, true};
}

// Links the MTL file, or writes a copy of it whose map_Kd lines name their
// pictures as the viewer reads them, when any line needs that.
void ModelFiles::layMaterials(const Model& model, std::size_t index)
{
    const VESK::CObjOutline& outline = model.outline;
    const VESK::CObjOutline::MtlFile& mtlFile = outline.mtlFiles[index];
    const std::string name = dataPath(mtlFile.name);
    if (name.empty()) {
        warn(model.file, mtlFile.name + " leads out of the scene folder; not linked");
        return;
    }
    std::error_code error;
    if (!fs::is_regular_file(mtlFile.path, error)) {
        report(model, "MTL files not found", "MTL file " + mtlFile.path + " not found; drawn in the default material");
        return;
    }
    std::map<std::uint64_t, std::string> replaced;
    std::set<std::string> dropped;
    for (const VESK::CObjOutline::TextureLine& line : outline.textureLines) {
        if (line.mtlFile != index)
            continue;
        const Picture picture = linkPicture(model, mtlFile, line.words, dropped);
        const bool asWritten = line.words.size() == 1 && picture.name == dataPath(line.words[0]);
        if (!asWritten)
            replaced.emplace(line.lineNumber, "map_Kd " + picture.name + "\n");
        // The viewer reports such a picture too: the report above is enough.
        if (!picture.found)
            missing.insert(ViewerSetup::dataFolder + (asWritten ? line.words[0] : picture.name));
    }
    const fs::path source = fs::absolute(mtlFile.path);
    if (replaced.empty()) {
        placed(model, name, source, folder.link(name, source));
        return;
    }
    if (!dropped.empty()) {
        std::string options;
        for (const std::string& option : dropped)
            options += " " + option;
        warn(model.file, mtlFile.name + ": the viewer cannot place pictures as the map_Kd options" + options +
                             " ask; they are left out");
    }
    placed(model, name, source, folder.write(name, source, [&](std::FILE* file) {
        return copyReplacingLines(mtlFile.path, replaced, file);
    }));
}
