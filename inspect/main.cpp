#include <cstdio>
#include <cstring>
#include <string>

#include "Commands.h"
#include "debugging/CLogManager.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CObjLoader.h"
#include "engine/loaders/CPictureLoader.h"

// vesk-inspect: loads one file through the engine exactly as the viewer does
// and prints what it holds as JSON. The engine's log goes to standard error;
// nothing is written into the working directory. While the log is open every
// message on standard error goes through it: the log reopens /dev/stderr, and
// direct writes beside it would overwrite each other in a redirected file.

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

}  // namespace

int main(int argc, char** argv)
{
    const Command command = parse(argc, argv);
    if (command == nullptr) {
        std::fputs("usage: vesk-inspect mesh FILE [--summary]\n"
                   "       vesk-inspect picture FILE\n"
                   "       vesk-inspect scene FILE\n",
                   stderr);
        return 2;
    }
    DEBUGGING::globalLog = DEBUGGING::CLogManager::getInstance().getLog("/dev/stderr");
    VESK::CFactoryLoader::registerLoader(new VESK::CPictureLoader());
    VESK::CFactoryLoader::registerLoader(new VESK::CObjLoader());
    const int status = command(argv[2]);
    VESK::CFactoryLoader::getInstance().clear();
    DEBUGGING::CLogManager::getInstance().shutdown();
    DEBUGGING::globalLog = nullptr;
    return status;
}
