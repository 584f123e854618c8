#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "Commands.h"
#include "debugging/CStreamLog.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CObjLoader.h"
#include "engine/loaders/CPictureLoader.h"

// vesk-inspect: loads one file through the engine exactly as the viewer does
// and prints what it holds as JSON. The engine's messages go to standard
// error as they are, so a successful run writes nothing there; nothing is
// written into the working directory.

namespace {

using Command = int (*)(const std::string& file);

int inspectFullMesh(const std::string& file)
{
    return inspectMesh(file, false);
}

int inspectMeshSummary(const std::string& file)
{
    return inspectMesh(file, true);
}

// The command the arguments name, or null when they name none.
Command parse(int argc, char** argv)
{
    if (argc < 3)
        return nullptr;
    const std::string command = argv[1];
    if (command == "mesh" && argc == 3)
        return inspectFullMesh;
    if (command == "mesh" && argc == 4 && std::strcmp(argv[3], "--summary") == 0)
        return inspectMeshSummary;
    if (command == "picture" && argc == 3)
        return inspectPicture;
    if (command == "scene" && argc == 3)
        return inspectScene;
    return nullptr;
}

const char* const usage = "usage: vesk-inspect mesh FILE [--summary]\n"
                          "       vesk-inspect picture FILE\n"
                          "       vesk-inspect scene FILE\n"
                          "       vesk-inspect --help\n"
                          "       vesk-inspect --version\n";

const char* const help =
    "\n"
    "Loads FILE as vesk-viewer loads it and prints what it holds as one JSON\n"
    "object on standard output.\n"
    "  mesh     an OBJ file with the MTL file it names: vertex layout, vertices,\n"
    "           indices, and per material its triangles and lighting values;\n"
    "           --summary leaves out the vertices and indices\n"
    "  picture  a picture file: width, height, format (0 BGR, 1 BGRA, 2 grey),\n"
    "           bytes per pixel and the 64-bit FNV-1a hash of the pixels\n"
    "  scene    a scene file (SceneGraph.sg): the mesh names, and the tree of\n"
    "           frames with their mesh names and matrices\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Exit status: 0 when FILE was loaded; 1 when it could not be, with the\n"
    "engine's message on standard error; 2 on a usage error.\n";

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, stdout);
        std::fputs(help, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("vesk-inspect " VESK_VERSION);
        return 0;
    }
    const Command command = parse(argc, argv);
    if (command == nullptr) {
        std::fputs(usage, stderr);
        return 2;
    }
    DEBUGGING::CStreamLog messages(std::cerr);
    DEBUGGING::globalLog = &messages;
    VESK::CFactoryLoader::registerLoader(new VESK::CPictureLoader());
    VESK::CFactoryLoader::registerLoader(new VESK::CObjLoader());
    const int status = command(argv[2]);
    VESK::CFactoryLoader::getInstance().clear();
    DEBUGGING::globalLog = nullptr;
    return status;
}
