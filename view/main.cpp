// vesk-view: shows OBJ models in the viewer without a scene written by hand.
// It loads each model through the engine as the viewer will, lays out a scene
// folder around them (a frame per model that stands it upright in front of
// the camera, and links in Data/ to the model, its MTL files and pictures),
// then runs vesk-viewer there and removes the folder when the viewer ends.
// With --scene it only writes the folder. The engine's messages go to
// standard error as they are; nothing is written into the working folder.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ModelBounds.h"
#include "NamedFiles.h"
#include "SceneFolder.h"
#include "SceneLayout.h"
#include "TemporaryFolder.h"
#include "ViewerRun.h"
#include "debugging/CStreamLog.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"
#include "engine/loaders/CPictureLoader.h"
#include "engine/loaders/StringUtils.h"

namespace fs = std::filesystem;

namespace {

const char* const usage = "usage: vesk-view [--up y|z] [--scene DIR] MODEL.obj...\n"
                          "       vesk-view --help\n";

const char* const help =
    "\n"
    "Shows Wavefront OBJ models in vesk-viewer. It lays out a scene folder\n"
    "around them (SceneGraph.sg, and in Data/ links to each model, the MTL\n"
    "files it names and their pictures), runs the viewer in it, and removes\n"
    "it when the viewer ends. Each model stands upright and centred, at the\n"
    "distance where it fits the window; several stand in a row, left to\n"
    "right in the order given. Pictures are looked for beside their MTL file,\n"
    "then beside the model.\n"
    "  --up y       the models' +Y axis points up (the default)\n"
    "  --up z       the models' +Z axis points up\n"
    "  --scene DIR  write the scene folder to DIR (new or empty) and do not\n"
    "               start the viewer; vesk-viewer run in DIR shows it\n"
    "\n"
    "In the viewer: d q w x s z move the scene right, left, up, down, away,\n"
    "nearer; the arrow keys turn the view; Esc quits.\n"
    "\n"
    "Exit status: the viewer's, or 0 after --scene; 1 when a model cannot be\n"
    "loaded or the folder cannot be written; 2 on a usage error.\n";

struct Options {
    UpAxis up = UpAxis::y;
    std::string sceneFolder;  // empty: a temporary folder, and the viewer run in it
    std::vector<std::string> models;
};

enum class Request { view, help, usageError };

Request parseArguments(int argc, char** argv, Options& options)
{
    bool onlyModels = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (onlyModels || argument.empty() || argument[0] != '-' || argument == "-") {
            options.models.push_back(argument);
        } else if (argument == "--") {
            onlyModels = true;
        } else if (argument == "--help") {
            return Request::help;
        } else if (argument == "--up" && i + 1 < argc &&
                   (std::strcmp(argv[i + 1], "y") == 0 || std::strcmp(argv[i + 1], "z") == 0)) {
            options.up = argv[++i][0] == 'y' ? UpAxis::y : UpAxis::z;
        } else if (argument == "--scene" && i + 1 < argc && argv[i + 1][0] != '\0') {
            options.sceneFolder = argv[++i];
        } else {
            return Request::usageError;
        }
    }
    return options.models.empty() ? Request::usageError : Request::view;
}

void warn(const std::string& file, const std::string& text)
{
    std::cerr << "vesk-view: " << file << ": " << text << std::endl;
}

// One model as loaded: where it is, the mesh name it gets in the scene, its
// extent, and the pictures its materials name, as the viewer will ask for them.
struct Model {
    std::string file;
    std::string name;
    ModelBounds bounds;
    std::vector<std::string> pictures;
};

// A mesh name for the scene file, from the model's file name: a single word,
// unlike the names already taken.
std::string meshName(const std::string& file, std::set<std::string>& taken)
{
    std::string stem = fs::path(file).filename().string();
    stem.resize(stem.size() - 4);
    for (char& c : stem)
        if (VESK::isWordSpace(c))
            c = '_';
    if (stem.empty() || stem == "{")
        stem = "Model";
    std::string name = stem;
    for (int n = 2; !taken.insert(name).second; ++n)
        name = stem + "-" + std::to_string(n);
    return name;
}

// Loads the model through the engine as the viewer will; false after the
// loader's message when it cannot be loaded, or after one of ours when it
// cannot be placed in view.
bool loadModel(const std::string& file, std::set<std::string>& names, std::vector<Model>& models)
{
    if (file.size() < 4 || file.compare(file.size() - 4, 4, ".obj") != 0) {
        DEBUGGING::logMessage(DEBUGGING::LOG_ERROR,
                              "VESK::CObjLoader::loadFromFile " + file + " [FAILED] (not a .obj file name)");
        return false;
    }
    std::unique_ptr<VESK::CMeshData> mesh(static_cast<VESK::CMeshData*>(VESK::CFactoryLoader::loadFromFile(file)));
    if (!mesh)
        return false;
    Model model{file, meshName(file, names), ModelBounds(*mesh), {}};
    if (!std::isfinite(model.bounds.radius)) {
        warn(file, "a coordinate is not a finite number; the model cannot be placed");
        return false;
    }
    std::set<std::string> seen;
    for (const VESK::CSubMesh& subMesh : mesh->subMeshes)
        if (!subMesh.textureName.empty() && seen.insert(subMesh.textureName).second)
            model.pictures.push_back(subMesh.textureName);
    models.push_back(std::move(model));
    return true;
}

// The path below Data/ at which the viewer looks for a name that a model
// gives (its loaders read a backslash as '/'); empty, after a warning, when
// that path would leave the scene folder.
std::string dataPath(const Model& model, const std::string& name)
{
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    bool leaves = path[0] == '/';
    for (const fs::path& part : fs::path(path))
        leaves = leaves || part == "..";
    if (leaves)
        warn(model.file, name + " leads out of the scene folder; not linked");
    return leaves ? std::string() : path;
}

// Links "Data/" + name to the file; false, after a warning, when it cannot.
bool linkFile(SceneFolder& folder, const Model& model, const std::string& name, const fs::path& file)
{
    const fs::path target = fs::absolute(file);
    switch (folder.link(name, target)) {
    case SceneFolder::Link::made:
    case SceneFolder::Link::present:
        return true;
    case SceneFolder::Link::taken:
        warn(model.file, "Data/" + name + " is " + folder.linkedFile(name).string() + " already; " +
                             target.string() + " is not used");
        return false;
    case SceneFolder::Link::failed:
        warn(model.file, "cannot link Data/" + name + ": " + folder.error());
        return false;
    }
    return false;
}

bool isPictureExtension(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    const std::vector<std::string> extensions = VESK::splitWords(VESK::CPictureLoader::extensionList);
    return dot != std::string::npos &&
           std::find(extensions.begin(), extensions.end(), name.substr(dot + 1)) != extensions.end();
}

// Links the model's MTL files and their pictures into the folder, and says
// what the viewer will miss.
void linkMaterials(SceneFolder& folder, const Model& model)
{
    const fs::path objFolder = fs::path(model.file).parent_path();
    std::vector<std::pair<fs::path, std::set<std::string>>> mtlFiles;
    for (const std::string& mtlName : readMtlNames(model.file)) {
        const std::string path = dataPath(model, mtlName);
        if (path.empty())
            continue;
        const fs::path mtlFile = objFolder / path;
        std::error_code error;
        if (!fs::is_regular_file(mtlFile, error)) {
            warn(model.file, "MTL file " + mtlFile.string() + " not found; drawn in the default material");
            continue;
        }
        linkFile(folder, model, path, mtlFile);
        const std::vector<std::string> pictures = readPictureNames(mtlFile.string());
        mtlFiles.emplace_back(mtlFile, std::set<std::string>(pictures.begin(), pictures.end()));
    }
    for (const std::string& picture : model.pictures) {
        if (!isPictureExtension(picture))
            warn(model.file, "picture " + picture + ": the viewer reads only the extensions " +
                                 VESK::CPictureLoader::extensionList + ", in lower case; drawn untextured");
        const std::string path = dataPath(model, picture);
        if (path.empty())
            continue;
        // Beside the MTL file that names the picture, then beside the model.
        std::vector<fs::path> places;
        for (const auto& [mtlFile, names] : mtlFiles)
            if (names.count(picture) != 0)
                places.push_back(mtlFile.parent_path() / path);
        places.push_back(objFolder / path);
        std::string lookedIn;
        bool found = false;
        for (const fs::path& place : places) {
            std::error_code error;
            found = fs::is_regular_file(place, error);
            if (found) {
                linkFile(folder, model, path, place);
                break;
            }
            lookedIn += (lookedIn.empty() ? "" : " or ") + place.string();
        }
        if (!found)
            warn(model.file, "picture " + picture + " not found as " + lookedIn + "; drawn untextured");
    }
    if (!model.bounds.shadable)
        warn(model.file, "no normals (vn); the light cannot shade it");
}

bool writeFolder(const fs::path& root, const std::vector<Model>& models, UpAxis up)
{
    std::vector<ModelBounds> bounds;
    std::vector<std::string> names;
    for (const Model& model : models) {
        bounds.push_back(model.bounds);
        names.push_back(model.name);
    }
    const SceneLayout layout(bounds, up);
    SceneFolder folder(root);
    // The models first, so that their names are theirs whatever the others name.
    for (const Model& model : models)
        if (!linkFile(folder, model, model.name + ".obj", model.file))
            return false;
    for (std::size_t i = 0; i < models.size(); ++i) {
        linkMaterials(folder, models[i]);
        if (layout.reachesPastFarPlane(i))
            warn(models[i].file, "too large to be seen whole: the viewer draws nothing beyond 10000 units");
    }
    if (!folder.writeScene(names, layout)) {
        std::cerr << "vesk-view: cannot write " << (root / "SceneGraph.sg").string() << std::endl;
        return false;
    }
    return true;
}

// The viewer's log lines that report a failure: what did not load.
void printFailures(const fs::path& log)
{
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.find(" [FAILED]") != std::string::npos || line.find(" [NOT FOUND]") != std::string::npos)
            std::cerr << line << '\n';
    std::cerr << std::flush;
}

bool isEmptyFolderOrAbsent(const std::string& folder)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(folder, error);
    if (status.type() == fs::file_type::not_found)
        return true;
    return fs::is_directory(folder, error) && fs::is_empty(folder, error) && !error;
}

int view(const Options& options)
{
    fs::path viewer;
    if (options.sceneFolder.empty()) {
        viewer = ViewerRun::findViewer();
        if (viewer.empty()) {
            std::cerr << "vesk-view: vesk-viewer not found beside this program" << std::endl;
            return 1;
        }
    } else if (!isEmptyFolderOrAbsent(options.sceneFolder)) {
        std::cerr << "vesk-view: " << options.sceneFolder << " is not an empty folder" << std::endl;
        return 1;
    }

    std::vector<Model> models;
    std::set<std::string> names;
    for (const std::string& file : options.models)
        if (!loadModel(file, names, models))
            return 1;

    if (!options.sceneFolder.empty()) {
        std::error_code error;
        fs::create_directories(options.sceneFolder, error);
        if (error) {
            std::cerr << "vesk-view: cannot create " << options.sceneFolder << ": " << error.message() << std::endl;
            return 1;
        }
        return writeFolder(options.sceneFolder, models, options.up) ? 0 : 1;
    }

    // From here an interrupt ends the viewer, and this program cleans up.
    ViewerRun run;
    TemporaryFolder folder;
    if (!folder.created()) {
        std::cerr << "vesk-view: cannot create a temporary folder" << std::endl;
        return 1;
    }
    if (!writeFolder(folder.path(), models, options.up))
        return 1;
    const int status = run.run(viewer, folder.path());
    printFailures(folder.path() / "global.log");
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    switch (parseArguments(argc, argv, options)) {
    case Request::help:
        std::fputs(usage, stdout);
        std::fputs(help, stdout);
        return 0;
    case Request::usageError:
        std::fputs(usage, stderr);
        return 2;
    case Request::view:
        break;
    }
    DEBUGGING::CStreamLog messages(std::cerr);
    DEBUGGING::globalLog = &messages;
    VESK::CFactoryLoader::registerLoader(new VESK::CObjLoader());
    const int status = view(options);
    VESK::CFactoryLoader::getInstance().clear();
    DEBUGGING::globalLog = nullptr;
    return status;
}
