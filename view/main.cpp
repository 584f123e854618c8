// vesk-view: shows OBJ models in the viewer without a scene written by hand.
// It reads each model through the engine's OBJ reader, by the viewer's own
// rules, lays out a scene folder around them (a frame per model that stands
// it upright in front of the camera; in Data/ links to the model, its MTL
// files and pictures, or copies adapted to what the viewer reads), then runs
// vesk-viewer there and removes the folder when the viewer ends. With --scene
// it only writes the folder. The engine's messages go to standard error as
// they are; nothing is written into the working folder.

#include <signal.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "Model.h"
#include "ModelFiles.h"
#include "PictureRun.h"
#include "SceneFolder.h"
#include "SceneLayout.h"
#include "TemporaryFolder.h"
#include "app/ViewerSetup.h"
#include "ViewerRun.h"
#include "debugging/CException.h"
#include "debugging/CStreamLog.h"
#include "debugging/Logging.h"
#include "engine/loaders/CObjLoader.h"
#include "engine/loaders/StringUtils.h"

namespace fs = std::filesystem;

namespace {

const char* const usage = "usage: vesk-view [--up y|z] [--scene DIR | --output FILE [--size N]] MODEL.obj...\n"
                          "       vesk-view [--output FILE [--size N]] --from DIR\n"
                          "       vesk-view --help | --version\n";

const char* const help =
    "\n"
    "Shows Wavefront OBJ models in vesk-viewer. It lays out a scene folder\n"
    "around them (SceneGraph.sg, and in Data/ links to each model, the MTL\n"
    "files it names and their pictures), runs the viewer in it, and removes\n"
    "it when the viewer ends. Each model stands upright and centred, at the\n"
    "distance where it fits the window; several stand in a row, left to\n"
    "right in the order given. Pictures are looked for beside their MTL file,\n"
    "then beside the model. What the viewer would not read as written is\n"
    "adapted in the folder, never in your files: a model without normals gets\n"
    "smooth ones, and an MTL file whose map_Kd lines hold options, blanks or\n"
    "an extension in capitals gets a copy that names its pictures plainly.\n"
    "  --up y       the models' +Y axis points up (the default)\n"
    "  --up z       the models' +Z axis points up\n"
    "  --scene DIR  write the scene folder to DIR (new or empty) and do not\n"
    "               start the viewer; vesk-viewer run in DIR shows it\n"
    "  --output FILE  write the viewer's first finished frame to FILE (a PNG\n"
    "               file for FILE.png) instead of showing it: the viewer runs\n"
    "               until its scene is drawn, then ends as after Esc. Without\n"
    "               a DISPLAY it runs on an X server of its own, Xvfb, which\n"
    "               must then be installed (Debian's package xvfb)\n"
    "  --size N     scale the picture so that its longer side is N pixels\n"
    "  --from DIR   show (or with --output, render) the scene folder DIR\n"
    "               (its SceneGraph.sg and Data/) instead of models; nothing\n"
    "               is written into DIR, not even the viewer's logs\n"
    "  --help       print this help\n"
    "  --version    print the version\n"
    "\n"
    "In the viewer: d q w x s z move the scene right, left, up, down, away,\n"
    "nearer; the arrow keys turn the view; Esc quits.\n"
    "\n"
    "Exit status: the viewer's, or 0 after --scene; 1 when a model cannot be\n"
    "read or placed, or the folder cannot be written; with --output 1 also\n"
    "when no frame could be read or written, or when the viewer failed to\n"
    "load a file (the picture shows what it drew); 2 on a usage error.\n";

struct Options {
    UpAxis up = UpAxis::y;
    std::string sceneFolder;  // empty: a temporary folder, and the viewer run in it
    std::string from;         // a scene folder shown instead of models
    PictureRun picture;       // with an output file: rendered instead of shown
    std::vector<std::string> models;
};

enum class Request { view, help, version, usageError };

// Reads the arguments; on a usage error, `problem` says what was wrong.
Request parseArguments(int argc, char** argv, Options& options, std::string& problem)
{
    bool onlyModels = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (onlyModels || argument.empty() || argument[0] != '-' || argument == "-") {
            options.models.push_back(argument);
        } else if (argument == "--") {
            onlyModels = true;
        } else if (argument == "--help") {
            return Request::help;
        } else if (argument == "--version") {
            return Request::version;
        } else if (argument == "--up") {
            if (!hasValue || (std::strcmp(argv[i + 1], "y") != 0 && std::strcmp(argv[i + 1], "z") != 0)) {
                problem = "--up takes y or z";
                return Request::usageError;
            }
            options.up = argv[++i][0] == 'y' ? UpAxis::y : UpAxis::z;
        } else if (argument == "--scene" || argument == "--from" || argument == "--output") {
            if (!hasValue || argv[i + 1][0] == '\0') {
                problem = argument + (argument == "--output" ? " takes a file" : " takes a folder");
                return Request::usageError;
            }
            (argument == "--scene" ? options.sceneFolder
                                   : argument == "--from" ? options.from : options.picture.output) = argv[++i];
        } else if (argument == "--size") {
            char* end = nullptr;
            const long size = hasValue ? std::strtol(argv[i + 1], &end, 10) : 0;
            if (!hasValue || *end != '\0' || size < 1 || size > 16384) {
                problem = "--size takes a number of pixels from 1 to 16384";
                return Request::usageError;
            }
            options.picture.longerSide = int(size);
            ++i;
        } else {
            problem = "unknown option " + argument;
            return Request::usageError;
        }
    }
    if (!options.from.empty() && !options.models.empty())
        problem = "--from shows a scene folder instead of models";
    else if (!options.sceneFolder.empty() && (!options.from.empty() || !options.picture.output.empty()))
        problem = "--scene writes a folder and shows nothing: not with --from or --output";
    else if (options.picture.longerSide > 0 && options.picture.output.empty())
        problem = "--size scales the picture of --output";
    else if (options.models.empty() && options.from.empty())
        problem = "no model given";
    return problem.empty() ? Request::view : Request::usageError;
}

bool endsWithObj(const std::string& file)
{
    static const char extension[] = ".obj";
    if (file.size() < 4)
        return false;
    for (std::size_t i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(file[file.size() - 4 + i])) != extension[i])
            return false;
    return true;
}

// A mesh name for the scene file, from the model's file name: a single word,
// unlike the names already taken, that leaves room for ".obj" in a file name.
std::string meshName(const std::string& file, std::set<std::string>& taken)
{
    std::string stem = fs::path(file).filename().string();
    stem.resize(stem.size() - 4);
    for (char& c : stem)
        if (VESK::isWordSpace(c))
            c = '_';
    if (stem.empty() || stem == "{")
        stem = "Model";
    for (int n = 1;; ++n) {
        const std::string suffix = n == 1 ? "" : "-" + std::to_string(n);
        const std::string name = stem.substr(0, 255 - 4 - suffix.size()) + suffix;
        if (taken.insert(name).second)
            return name;
    }
}

// Reads the model through the engine's OBJ reader, which refuses what the
// viewer's load would refuse; false after the reader's message, or after one
// of ours when the model has no place in view.
bool readModel(const std::string& file, std::set<std::string>& names, std::vector<Model>& models)
{
    if (!endsWithObj(file)) {
        DEBUGGING::logMessage(DEBUGGING::LOG_ERROR,
                              VESK::CObjLoader::failureMessage(file, "not a .obj file name"));
        return false;
    }
    VESK::CObjOutline outline;
    try {
        outline = VESK::CObjLoader().readOutline(file);
    } catch (const DEBUGGING::CException& failure) {
        DEBUGGING::logMessage(DEBUGGING::LOG_ERROR, failure.what());
        return false;
    }
    const ModelBounds bounds(outline);
    if (!bounds.placed) {
        warn(file, "no vertex has finite coordinates; the model cannot be placed");
        return false;
    }
    if (!bounds.allFinite)
        warn(file, "some vertices have coordinates that are not finite numbers; placed by the others");
    models.push_back(Model{file, meshName(file, names), std::move(outline), bounds});
    return true;
}

// Writes the scene into the opened folder; false after a message when the
// models themselves cannot be placed there. `missingPictures` gets the paths
// of the pictures reported missing.
bool writeScene(SceneFolder& folder, const std::vector<Model>& models, UpAxis up,
                std::set<std::string>& missingPictures)
{
    std::vector<ModelBounds> bounds;
    std::vector<std::string> names;
    for (const Model& model : models) {
        bounds.push_back(model.bounds);
        names.push_back(model.name);
    }
    const SceneLayout layout(bounds, up);
    for (std::size_t i = 0; i < models.size(); ++i) {
        for (const float element : layout.frameMatrix(i)) {
            if (!std::isfinite(element)) {
                warn(models[i].file, "too large to be placed: its coordinates reach beyond 32-bit floats");
                return false;
            }
        }
    }
    ModelFiles files(folder);
    // The models first, so that their names are theirs whatever the others name.
    for (const Model& model : models)
        if (!files.lay(model))
            return false;
    for (std::size_t i = 0; i < models.size(); ++i)
        if (layout.reachesPastFarPlane(i))
            warn(models[i].file, "too large to be seen whole: the viewer draws nothing beyond " +
                                     std::to_string(int(ViewerSetup::farPlane)) + " units");
    if (!folder.writeScene(names, layout)) {
        std::cerr << "vesk-view: cannot write " << ViewerSetup::sceneFile << ": " << folder.error() << std::endl;
        return false;
    }
    missingPictures = files.missingPictures();
    return true;
}

// The viewer's log lines that report a failure, but for the pictures that
// were reported missing already; true when there was any.
bool printFailures(const fs::path& log, const std::set<std::string>& missingPictures)
{
    std::ifstream in(log);
    bool any = false;
    for (std::string line; std::getline(in, line);) {
        const std::size_t failed = line.find(" [FAILED]");
        if (failed == std::string::npos && line.find(" [NOT FOUND]") == std::string::npos)
            continue;
        any = true;
        const std::size_t file = line.rfind(' ', failed == std::string::npos ? 0 : failed - 1);
        if (failed != std::string::npos && file != std::string::npos &&
            missingPictures.count(line.substr(file + 1, failed - file - 1)) != 0)
            continue;
        std::cerr << line << '\n';
    }
    std::cerr << std::flush;
    return any;
}

// Links the scene file and the data folder of a scene folder into the
// folder; false after a message when one is missing or cannot be linked.
bool linkSceneFolder(SceneFolder& folder, const fs::path& from)
{
    for (const char* name : {ViewerSetup::sceneFile, ViewerSetup::dataFolder}) {
        const fs::path file = fs::absolute(from / name);
        std::error_code error;
        if (!fs::exists(file, error)) {
            std::cerr << "vesk-view: " << (from / name).string() << " not found: not a scene folder" << std::endl;
            return false;
        }
        std::string entry = name;
        if (entry.back() == '/')
            entry.pop_back();
        if (!folder.linkAtTop(entry, file.lexically_normal())) {
            std::cerr << "vesk-view: cannot link " << file.string() << ": " << folder.error() << std::endl;
            return false;
        }
    }
    return true;
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
    }

    std::vector<Model> models;
    std::set<std::string> names;
    for (const std::string& file : options.models)
        if (!readModel(file, names, models))
            return 1;

    std::set<std::string> missingPictures;
    if (!options.sceneFolder.empty()) {
        SceneFolder folder;
        if (!folder.open(options.sceneFolder)) {
            std::cerr << "vesk-view: " << folder.error() << std::endl;
            folder.removeWritten();
            return 1;
        }
        if (writeScene(folder, models, options.up, missingPictures))
            return 0;
        folder.removeWritten();
        return 1;
    }

    // From here a signal that ends programs ends the viewer, and this
    // program cleans up.
    ViewerRun run;
    TemporaryFolder temporary;
    SceneFolder folder;
    if (!temporary.created() || !folder.open(temporary.path())) {
        std::cerr << "vesk-view: cannot create a temporary folder" << std::endl;
        return 1;
    }
    if (options.from.empty() ? !writeScene(folder, models, options.up, missingPictures)
                             : !linkSceneFolder(folder, options.from))
        return 1;
    if (options.picture.output.empty()) {
        const int status = run.run(viewer, temporary.path());
        printFailures(temporary.path() / "global.log", missingPictures);
        return status;
    }
    const int status = options.picture.render(run, viewer, temporary.path());
    const bool failures = printFailures(temporary.path() / "global.log", missingPictures);
    return status == 0 && failures ? 1 : status;
}

}  // namespace

int main(int argc, char** argv)
{
    // A closed standard error (a pipe whose reader has gone) must not end
    // this program before it has cleaned up: its writes then just fail.
    signal(SIGPIPE, SIG_IGN);
    Options options;
    std::string problem;
    switch (parseArguments(argc, argv, options, problem)) {
    case Request::help:
        std::fputs(usage, stdout);
        std::fputs(help, stdout);
        return 0;
    case Request::version:
        std::puts("vesk-view " VESK_VERSION);
        return 0;
    case Request::usageError:
        std::fprintf(stderr, "vesk-view: %s\n%s", problem.c_str(), usage);
        return 2;
    case Request::view:
        break;
    }
    DEBUGGING::CStreamLog messages(std::cerr);
    DEBUGGING::globalLog = &messages;
    int status = 1;
    // Caught here, so that what view() made is taken down on the way.
    try {
        status = view(options);
    } catch (const std::bad_alloc&) {
        std::cerr << "vesk-view: out of memory" << std::endl;
    }
    DEBUGGING::globalLog = nullptr;
    return status;
}
