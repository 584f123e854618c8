#include <GL/glew.h>
#include <GL/freeglut.h>

#include "app/Viewer.h"
#include "app/ViewerGlobals.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CPicture.h"
#include "engine/resources/CResourceManager.h"
#include "engine_gl/CGLModel.h"
#include "engine_gl/CGLTexture.h"
#include "engine_gl/GLRenderer.h"
#include "support/GlutWindow.h"
#include "support/PrintedOutput.h"
#include "support/LoggedWorkDir.h"

namespace {

constexpr int windowSize = glutWindowSize;

// The viewer's callbacks run in a real freeglut window of their own (display
// swaps its buffers), opened once per test program; every test starts from
// the viewer's start-up state.
class ViewerTest : public LoggedWorkDir {
protected:
    void SetUp() override
    {
        LoggedWorkDir::SetUp();
        useGlutWindow();
        cameraPosition = CMyVector<float, 3>(0.0f, 0.0f, 0.0f);
        cameraRotation = CMyVector<float, 2>(0.0f, 0.0f);
        sceneRoot.loadSceneGraph("absent.sg");
        initLighting();
        reshape(windowSize, windowSize);
    }

    void TearDown() override
    {
        sceneRoot.clear(nullptr);
        VESK::CResourceManager::getInstance().releaseAll();
        VESK_GL::GLRenderer::getInstance().setDeclaration(nullptr);
        LoggedWorkDir::TearDown();
    }

    // Clears, draws the scene as display does, without the swap, and reads
    // the colour at a window position (origin lower left).
    static std::vector<int> drawAndRead(int x, int y)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        drawSceneNode(sceneRoot);
        glPopMatrix();
        glFinish();
        unsigned char rgba[4] = {};
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }
};

// A square facing the camera once the viewer has turned it about X: in the
// mesh it lies in the plane y = depth, both windings so culling keeps it.
VESK_GL::CGLModel* squareModel(const VESK::CMaterial& material, const std::string& textureName, float depth)
{
    VESK::CMeshData mesh;
    mesh.elements = new VESK::CVertexElement[3]{{0, VESK::DECLTYPE_FLOAT3, VESK::DECLUSAGE_POSITION, 0},
                                                {12, VESK::DECLTYPE_FLOAT2, VESK::DECLUSAGE_TEXCOORD, 0},
                                                {0, 0, 0, 0}};
    mesh.elementCount = 3;
    mesh.vertexStride = 20;
    mesh.vertexCount = 4;
    mesh.vertices = new float[20]{-1, depth, -1, 0, 0, 1, depth, -1, 1, 0, 1, depth, 1, 1, 1, -1, depth, 1, 0, 1};
    mesh.indexCount = 12;
    mesh.indices = new std::uint32_t[12]{0, 1, 2, 0, 2, 3, 2, 1, 0, 3, 2, 0};
    mesh.addSubMesh("Square", material, 0, 4, textureName);
    auto* model = new VESK_GL::CGLModel();
    model->buildFromMeshData(&mesh);
    return model;
}

VESK::CMaterial glowing(float r, float g, float b)
{
    VESK::CMaterial material;
    material.ambient = CMyVector<float, 4>(0.0f, 0.0, 0.0, 1.0);
    material.diffuse = CMyVector<float, 4>(0.0f, 0.0, 0.0, 1.0);
    material.specular = CMyVector<float, 4>(0.0f, 0.0, 0.0, 1.0);
    material.emission = CMyVector<float, 4>(r, g, b, 1.0);
    return material;
}

}  // namespace

// A window folded to no height counts as one pixel high in the aspect ratio.
TEST_F(ViewerTest, ReshapeWithoutHeightKeepsAFiniteAspect)
{
    reshape(300, 0);
    std::vector<float> projection(16);
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    EXPECT_FLOAT_EQ(projection[0] * 300.0f, projection[5]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ViewerTest, FramesDrawTheirModelsTexturedOrNotAndReportMissingOnesEveryFrame)
{
    VESK::CResourceManager& resources = VESK::CResourceManager::getInstance();
    const std::uint8_t blue[12] = {255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0};
    auto* texture = new VESK_GL::CGLTexture<GL_TEXTURE_2D>();
    texture->createFromPicture(VESK::CPicture(CMyVector<int, 2>(2, 2), VESK::PICTURE_BGR, blue));
    resources.addResource("blue.png", texture);
    auto* textured = squareModel(glowing(1, 1, 1), "blue.png", 5.0f);
    resources.addResource("Textured.obj", textured);
    auto* plain = squareModel(glowing(1, 0, 0), "", 5.0f);
    resources.addResource("Plain.obj", plain);

    // Missing at the centre holds Plain; Textured sits behind it, to the right.
    writeFile("scene.sg", "Frame Missing\n"
                          "Frame Plain\n"
                          "}\n"
                          "}\n"
                          "Frame Textured\n"
                          "1,0,0,0,0,1,0,0,0,0,1,0,1.5,0,1,1\n");
    sceneRoot.loadSceneGraph("scene.sg");

    std::vector<int> centre;
    const std::string printed = printedBy([&] { centre = drawAndRead(windowSize / 2, windowSize / 2); });
    EXPECT_EQ(printed, "Missing.obj not found!\n");
    EXPECT_EQ(centre, (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(drawAndRead(windowSize - 3, windowSize / 2), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(drawAndRead(2, windowSize / 2), (std::vector<int>{0, 0, 0}));

    // An entry registered under a texture's name that is not a texture is
    // drawn untextured rather than taken for one.
    auto* impostor = squareModel(glowing(0, 1, 0), "Plain.obj", 5.0f);
    resources.addResource("Impostor.obj", impostor);
    sceneRoot.loadSceneGraph("absent.sg");
    sceneRoot.addFrame();
    sceneRoot.addMeshName("Impostor");
    EXPECT_EQ(drawAndRead(windowSize / 2, windowSize / 2), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ViewerTest, DisplayReportsOneGLErrorPerFrameAndSurvivesDeepScenes)
{
    EXPECT_EQ(printedBy(display), "");
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "Frame {\n";
    writeFile("deep.sg", deep);
    sceneRoot.loadSceneGraph("deep.sg");
    EXPECT_EQ(printedBy(display), "OPENGL ERROR : stack overflow\n");
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    while (glGetError() != GL_NO_ERROR) {
    }
    sceneRoot.clear(nullptr);
    EXPECT_EQ(printedBy(display), "");
}
