// vesk-viewer: the process entry. Its static objects are created here, in this
// order, before main runs: the global log, the loader factory, the resource
// manager, the renderer, the scene root and the two camera values. main opens
// the window, starts the engine, reads the scene and its assets and hands over
// to the toolkit; onExit takes everything down again in a fixed order. The
// command line goes to the toolkit as it is, but for --help and --version
// alone, which are answered before any window is opened.

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/CSceneNode.h"
#include "app/SceneAssets.h"
#include "app/Viewer.h"
#include "app/ViewerGlobals.h"
#include "app/ViewerSetup.h"
#include "debugging/CLogManager.h"
#include "debugging/CMemoryManager.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CObjLoader.h"
#include "engine/loaders/CPictureLoader.h"
#include "engine/resources/CResourceManager.h"
#include "engine_gl/GLRenderer.h"
#include "math/CMyVector.h"

float windowWidth = float(ViewerSetup::windowWidth);
float windowHeight = float(ViewerSetup::windowHeight);

namespace {

DEBUGGING::CLog* const openedGlobalLog = DEBUGGING::globalLog =
    DEBUGGING::CLogManager::getInstance().getLog("global.log");
VESK::CFactoryLoader* const factoryLoader = &VESK::CFactoryLoader::getInstance();
VESK::CResourceManager* const resourceManager = &VESK::CResourceManager::getInstance();
VESK_GL::GLRenderer* const renderer = &VESK_GL::GLRenderer::getInstance();

}  // namespace

CSceneNode sceneRoot;
CMyVector<float, 3> cameraPosition(0.0f, 0.0f, 0.0f);
CMyVector<float, 2> cameraRotation(0.0f, 0.0f);

namespace {

void initEngine()
{
    renderer->initialize();
    VESK::CFactoryLoader::registerLoader(new VESK::CPictureLoader());
    VESK::CFactoryLoader::registerLoader(new VESK::CObjLoader());
}

void shutdownEngine()
{
    resourceManager->releaseAll();
    factoryLoader->clear();
    DEBUGGING::CLogManager::getInstance().shutdown();
    DEBUGGING::globalLog = nullptr;
    DEBUGGING::CMemoryManager::getInstance().shutdown();
}

bool exiting = false;

void onExit()
{
    if (exiting)
        return;
    exiting = true;
    sceneRoot.clear(nullptr);
    shutdownEngine();
}

const char* const help =
    "usage: vesk-viewer\n"
    "       vesk-viewer --help\n"
    "       vesk-viewer --version\n"
    "\n"
    "Shows the scene folder in the working directory in an OpenGL window:\n"
    "SceneGraph.sg, a tree of frames that place named meshes, and Data/, with\n"
    "one OBJ file per mesh name and the MTL files and pictures it names.\n"
    "Any other arguments go to freeglut (-display DISPLAY, for one).\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Keys: d q w x s z move the scene right, left, up, down, away, nearer; the\n"
    "arrow keys turn the view; Esc quits.\n"
    "\n"
    "It writes global.log (what the engine loaded, released and failed on)\n"
    "and memory.log (the memory-block report at exit) into the working\n"
    "directory.\n";

// Closing the window ends the program as Esc does, before the toolkit destroys
// the GL context, so the resources still release their GL objects. The toolkit
// also closes the window while the process exits: that close ends nothing.
void closeWindow()
{
    if (!exiting)
        std::exit(0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(help, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("vesk-viewer " VESK_VERSION);
        return 0;
    }
    std::atexit(onExit);
    glutInit(&argc, argv);
    // The toolkit registers an exit handler of its own that destroys the GL
    // context; registered again, the engine's handler runs before it. It runs
    // once, whichever registration comes first.
    std::atexit(onExit);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(static_cast<int>(windowWidth), static_cast<int>(windowHeight));
    glutInitWindowPosition(50, 50);
    glutCreateWindow("My Window");

    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(specialKeys);
    glutPassiveMotionFunc(passiveMotion);
    glutDisplayFunc(display);
    glutIdleFunc(glutPostRedisplay);
    glutCloseFunc(closeWindow);

    initEngine();
    initLighting();
    sceneRoot.loadSceneGraph(ViewerSetup::sceneFile);
    loadSceneAssets();
    glutMainLoop();
    return 0;
}
