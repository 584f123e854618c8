#include <cstdio>
#include <cstring>
#include <string>

#include "InspectCommands.h"
#include "debugging/CLogManager.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CObjLoader.h"
#include "engine/loaders/CPictureLoader.h"

// vesk-inspect: loads one file through the engine exactly as the viewer does
// and prints what it holds as JSON. The engine's log goes to standard error;
// nothing is written into the working directory.

namespace {

int usage()
{
    std::fputs("usage: vesk-inspect mesh FILE [--summary]\n"
               "       vesk-inspect picture FILE\n"
               "       vesk-inspect scene FILE\n",
               stderr);
    return 2;
}

int dispatch(int argc, char** argv)
{
    if (argc < 3)
        return usage();
    const std::string command = argv[1];
    const std::string file = argv[2];
    if (command == "mesh" && argc == 3)
        return inspectMesh(file, false);
    if (command == "mesh" && argc == 4 && std::strcmp(argv[3], "--summary") == 0)
        return inspectMesh(file, true);
    if (command == "picture" && argc == 3)
        return inspectPicture(file);
    if (command == "scene" && argc == 3)
        return inspectScene(file);
    return usage();
}

}  // namespace

int main(int argc, char** argv)
{
    DEBUGGING::globalLog = DEBUGGING::CLogManager::getInstance().getLog("/dev/stderr");
    VESK::CFactoryLoader::registerLoader(new VESK::CPictureLoader());
    VESK::CFactoryLoader::registerLoader(new VESK::CObjLoader());
    const int status = dispatch(argc, argv);
    VESK::CFactoryLoader::getInstance().clear();
    DEBUGGING::CLogManager::getInstance().shutdown();
    DEBUGGING::globalLog = nullptr;
    return status;
}
