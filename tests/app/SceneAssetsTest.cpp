#include <GL/glew.h>

#include "app/SceneAssets.h"
#include "app/ViewerGlobals.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CObjLoader.h"
#include "engine/loaders/CPictureLoader.h"
#include "engine/resources/CResourceManager.h"
#include "engine_gl/CGLModel.h"
#include "engine_gl/CGLTexture.h"
#include "engine_gl/GLRenderer.h"
#include "support/GlutWindow.h"
#include "support/LoggedWorkDir.h"
#include "support/PictureFiles.h"

namespace {

// Asset loading with the viewer's two loaders on a real GL context.
class SceneAssetsTest : public LoggedWorkDir {
protected:
    void SetUp() override
    {
        LoggedWorkDir::SetUp();
        useGlutWindow();
        VESK::CFactoryLoader::registerLoader(new VESK::CPictureLoader());
        VESK::CFactoryLoader::registerLoader(new VESK::CObjLoader());
    }

    void TearDown() override
    {
        sceneRoot.clear(nullptr);
        VESK::CResourceManager::getInstance().releaseAll();
        VESK::CFactoryLoader::getInstance().clear();
        LoggedWorkDir::TearDown();
    }
};

}  // namespace

TEST_F(SceneAssetsTest, EachMeshAndTextureLoadsOnceModelsBeforeTheirTextures)
{
    writeFile("Data/Cube.obj", "mtllib Cube.mtl\n"
                               "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\n"
                               "usemtl A\nf 1/1 2/1 3/1\n"
                               "usemtl B\nf 1/1 3/1 2/1\n"
                               "usemtl Plain\nf 2/1 1/1 3/1\n");
    writeFile("Data/Cube.mtl", "newmtl A\nmap_Kd a.pgm\nnewmtl B\nmap_Kd a.pgm\nnewmtl Plain\n");
    writeFile("Data/Other.obj", "mtllib Other.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                "usemtl A\nf 1 2 3\nusemtl Far\nf 1 3 2\nusemtl Mesh\nf 2 1 3\n");
    writeFile("Data/Other.mtl", "newmtl A\nmap_Kd a.pgm\nnewmtl Far\nmap_Kd sub\\b.pgm\n"
                                "newmtl Mesh\nmap_Kd Ghost.obj\n");
    writeFile("Data/Ghost.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    writeFile("Data/a.pgm", PictureFiles::pgm(2, 2, {0, 1, 2, 3}));
    writeFile("Data/sub/b.pgm", PictureFiles::pgm(2, 2, {4, 5, 6, 7}));
    writeFile("SceneGraph.sg", "Frame Cube\n}\nFrame Cube\n}\nFrame Missing\n}\nFrame Other\n}\nFrame Cube\n}\n");
    sceneRoot.loadSceneGraph("SceneGraph.sg");

    loadSceneAssets();

    const std::vector<std::string> lines = logBody();
    ASSERT_EQ(lines.size(), 6u) << readFile("global.log");
    EXPECT_TRUE(isStampedLine(lines[0], " -> [ INFOS ] CResourceManager - LOADING : Cube.obj")) << lines[0];
    EXPECT_TRUE(isStampedLine(lines[1], " -> [ INFOS ] CResourceManager - LOADING : a.pgm")) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(timeStampPattern() +
        regexQuote(" -> [ ERROR ] VESK::CObjLoader::loadFromFile Data/Missing.obj [FAILED]") + ".*")))
        << lines[2];
    EXPECT_TRUE(isStampedLine(lines[3], " -> [ ERROR ] CResourceManager - LOADING : Other.obj")) << lines[3];
    EXPECT_TRUE(isStampedLine(lines[4], " -> [ ERROR ] CResourceManager - LOADING : sub\\b.pgm")) << lines[4];
    EXPECT_TRUE(isStampedLine(lines[5], " -> [ ERROR ] VESK::CPictureLoader::loadFromFile Data/Ghost.obj [FAILED]"))
        << lines[5];

    VESK::CResourceManager& resources = VESK::CResourceManager::getInstance();
    EXPECT_EQ(resources.getResource("Missing.obj"), nullptr);
    EXPECT_NE(dynamic_cast<VESK_GL::CGLModel*>(resources.getResource("Cube.obj")), nullptr);
    EXPECT_NE(dynamic_cast<VESK_GL::CGLTexture<GL_TEXTURE_2D>*>(resources.getResource("sub\\b.pgm")), nullptr);
}

TEST_F(SceneAssetsTest, AnEmptySceneLoadsAndLogsNothing)
{
    sceneRoot.loadSceneGraph("absent.sg");
    loadSceneAssets();
    EXPECT_TRUE(logBody().empty());
}
