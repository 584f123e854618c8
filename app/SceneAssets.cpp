#include "SceneAssets.h"

#include <GL/glew.h>

#include <algorithm>
#include <memory>
#include <string>

#include "ViewerGlobals.h"
#include "ViewerSetup.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CPicture.h"
#include "engine/resources/CResourceManager.h"
#include "engine_gl/CGLModel.h"
#include "engine_gl/CGLTexture.h"

namespace {

// The file of a texture named in a material; names written on systems with
// backslash separators still find their file.
std::string texturePath(const std::string& textureName)
{
    std::string path = ViewerSetup::dataFolder + textureName;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// A texture named like a mesh would come back from the factory as mesh data;
// such a name is refused rather than taken for a picture.
bool isMeshFile(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    return dot != std::string::npos && path.compare(dot + 1, std::string::npos, "obj") == 0;
}

void loadTexture(const std::string& textureName)
{
    VESK::CResourceManager& resources = VESK::CResourceManager::getInstance();
    if (textureName.empty() || resources.getResource(textureName) != nullptr)
        return;
    const std::string path = texturePath(textureName);
    if (isMeshFile(path)) {
        DEBUGGING::logMessage(DEBUGGING::LOG_ERROR, "VESK::CPictureLoader::loadFromFile " + path + " [FAILED]");
        return;
    }
    std::unique_ptr<VESK::CPicture> picture(static_cast<VESK::CPicture*>(VESK::CFactoryLoader::loadFromFile(path)));
    if (!picture)
        return;
    auto* texture = new VESK_GL::CGLTexture<GL_TEXTURE_2D>();
    texture->createFromPicture(*picture);
    resources.addResource(textureName, texture);
}

}  // namespace

void loadSceneAssets()
{
    VESK::CResourceManager& resources = VESK::CResourceManager::getInstance();
    for (const std::string& meshName : sceneRoot.allMeshNames) {
        const std::string key = meshName + ".obj";
        if (resources.getResource(key) != nullptr)
            continue;
        std::unique_ptr<VESK::CMeshData> mesh(
            static_cast<VESK::CMeshData*>(VESK::CFactoryLoader::loadFromFile(ViewerSetup::dataFolder + key)));
        if (!mesh)
            continue;
        auto* model = new VESK_GL::CGLModel();
        model->buildFromMeshData(mesh.get());
        resources.addResource(key, model);
        mesh.reset();
        for (const std::string& textureName : model->textureNames)
            loadTexture(textureName);
    }
}
