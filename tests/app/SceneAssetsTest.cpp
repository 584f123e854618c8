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
#include "GlutWindow.h"
#include "support/LoggedWorkDir.h"

namespace {

// An uncompressed 24-bit TGA picture of one colour, 2 x 2 pixels.
std::string tga(unsigned char b, unsigned char g, unsigned char r)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = 2;
    bytes[14] = 2;
    bytes[16] = 24;
    for (int i = 0; i < 4; ++i)
        bytes += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
    return bytes;
}

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
    writeFile("Data/Cube.mtl", "newmtl A\nmap_Kd a.tga\nnewmtl B\nmap_Kd a.tga\nnewmtl Plain\n");
    writeFile("Data/Other.obj", "mtllib Other.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                "usemtl A\nf 1 2 3\nusemtl Far\nf 1 3 2\nusemtl Mesh\nf 2 1 3\n");
    writeFile("Data/Other.mtl", "newmtl A\nmap_Kd a.tga\nnewmtl Far\nmap_Kd sub\\b.tga\n"
                                "newmtl Mesh\nmap_Kd Ghost.obj\n");
    writeFile("Data/Ghost.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    writeFile("Data/a.tga", tga(0, 0, 255));
    writeFile("Data/sub/b.tga", tga(255, 0, 0));
    writeFile("SceneGraph.sg", "Frame Cube\n}\nFrame Cube\n}\nFrame Missing\n}\nFrame Other\n}\nFrame Cube\n}\n");
    sceneRoot.loadSceneGraph("SceneGraph.sg");

    loadSceneAssets();

    const std::vector<std::string> lines = logBody();
    ASSERT_EQ(lines.size(), 6u) << readFile("global.log");
    EXPECT_TRUE(isStampedLine(lines[0], " -> [ INFOS ] CResourceManager - LOADING : Cube.obj")) << lines[0];
    EXPECT_TRUE(isStampedLine(lines[1], " -> [ INFOS ] CResourceManager - LOADING : a.tga")) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(timeStampPattern() +
        regexQuote(" -> [ ERROR ] VESK::CObjLoader::loadFromFile Data/Missing.obj [FAILED]") + ".*")))
        << lines[2];
    EXPECT_TRUE(isStampedLine(lines[3], " -> [ ERROR ] CResourceManager - LOADING : Other.obj")) << lines[3];
    EXPECT_TRUE(isStampedLine(lines[4], " -> [ ERROR ] CResourceManager - LOADING : sub\\b.tga")) << lines[4];
    EXPECT_TRUE(isStampedLine(lines[5], " -> [ ERROR ] VESK::CPictureLoader::loadFromFile Data/Ghost.obj [FAILED]"))
        << lines[5];

    VESK::CResourceManager& resources = VESK::CResourceManager::getInstance();
    EXPECT_EQ(resources.getResource("Missing.obj"), nullptr);
    EXPECT_NE(dynamic_cast<VESK_GL::CGLModel*>(resources.getResource("Cube.obj")), nullptr);
    EXPECT_NE(dynamic_cast<VESK_GL::CGLTexture<GL_TEXTURE_2D>*>(resources.getResource("sub\\b.tga")), nullptr);
}

TEST_F(SceneAssetsTest, AnEmptySceneLoadsAndLogsNothing)
{
    sceneRoot.loadSceneGraph("absent.sg");
    loadSceneAssets();
    EXPECT_TRUE(logBody().empty());
}
