#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "GLTest.h"
#include "engine_gl/CGLModel.h"

using namespace VESK;
using namespace VESK_GL;

namespace {

// Fills a mesh record the way the OBJ loader does: position, normal and
// texture coordinates per vertex, 32-bit indices.
void fillMesh(CMeshData& mesh, const std::vector<float>& vertices, const std::vector<std::uint32_t>& indices)
{
    mesh.release();
    mesh.elements = new CVertexElement[4]{{0, DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0},
                                          {12, DECLTYPE_FLOAT3, DECLUSAGE_NORMAL, 0},
                                          {24, DECLTYPE_FLOAT2, DECLUSAGE_TEXCOORD, 0},
                                          {0, 0, 0, 0}};
    mesh.elementCount = 4;
    mesh.vertexStride = 32;
    mesh.vertexCount = static_cast<std::uint32_t>(vertices.size() / 8);
    mesh.vertices = new float[vertices.size()];
    std::copy(vertices.begin(), vertices.end(), mesh.vertices);
    mesh.indexCount = static_cast<std::uint32_t>(indices.size());
    mesh.indices = new std::uint32_t[indices.size()];
    std::copy(indices.begin(), indices.end(), mesh.indices);
}

// Two quads side by side facing +z, x in [-1, 0] then [0, 1], texture
// coordinates 0..1 with t = 0 along the bottom edge: indices 0-5 and 6-11.
void fillTwoQuads(CMeshData& mesh)
{
    fillMesh(mesh,
             {-1, -1, 0, 0, 0, 1, 0, 0, 0, -1, 0, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 1, 1, -1, 1, 0, 0, 0, 1, 0, 1,
              0, -1, 0, 0, 0, 1, 0, 0, 1, -1, 0, 0, 0, 1, 1, 0, 1, 1, 0, 0, 0, 1, 1, 1, 0, 1, 0, 0, 0, 1, 0, 1},
             {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7});
}

// Only the diffuse colour shows under the test's light.
CMaterial matte(float r, float g, float b, float shininess = 10.0f)
{
    CMaterial material;
    material.diffuse = CMyVector<float, 4>(r, g, b, 1.0f);
    material.shininess = shininess;
    return material;
}

}  // namespace

using ModelTest = GLTest;

// Each rebuild deletes the old buffers; a buffer GL cannot map, a null mesh
// or an index past the sub-meshes draws nothing; materials reach GL with their
// shininess clamped; each primitive kind draws its count from the model's
// buffers. The model drawn last is destroyed with its declaration current,
// which must then be dropped (the fixture checks).
TEST_F(ModelTest, RebuildsReplaceTheGeometryAndLitTexturedSubMeshesReachTheFramebuffer)
{
    CGLModel model;
    // A mesh without sub-meshes is one range over all its triangles.
    CMeshData mesh;
    fillMesh(mesh, std::vector<float>(8 * 8, 0.5f), std::vector<std::uint32_t>(36, 7));
    model.buildFromMeshData(&mesh);
    ASSERT_EQ(model.getSubMeshCount(), 1u);
    EXPECT_EQ(model.getRanges()[0].triangleCount, 12);

    // No vertices: GL refuses to map a zero-byte buffer, so nothing may be
    // drawn from the (unfilled) index buffer either.
    const GLuint firstVertices = model.getVertexBuffer().getGLName(), firstIndices = model.getIndexBuffer().getGLName();
    fillMesh(mesh, {}, {0, 1, 2});
    mesh.addSubMesh("a", matte(1, 1, 1), 0, 1, "a.png");
    model.buildFromMeshData(&mesh);
    // GL reports the refused mapping as an error.
    while (glGetError() != GL_NO_ERROR) {
    }
    EXPECT_FALSE(glIsBufferARB(firstVertices) || glIsBufferARB(firstIndices));
    ASSERT_EQ(model.getSubMeshCount(), 1u);
    EXPECT_EQ(model.getRanges()[0].triangleCount, 0);
    EXPECT_EQ(primitivesDrawn([&] {
                  model.drawSubMesh(nullptr, 0);
                  model.drawSubMesh(nullptr, 7);
              }),
              0u);
    model.buildFromMeshData(nullptr);
    EXPECT_EQ(model.getSubMeshCount(), 0u);
    EXPECT_EQ(GLRenderer::getInstance().getCurrentDeclaration(), nullptr);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));

    fillTwoQuads(mesh);
    mesh.addSubMesh("left", matte(1.0f, 0.5f, 1.0f, 1000.0f), 0, 2, "left.png");
    mesh.addSubMesh("empty", matte(1, 1, 1, NAN), 6, 0, "");
    mesh.addSubMesh("right", matte(0.25f, 0.5f, 0.75f, 37.5f), 6, 2, "");
    model.buildFromMeshData(&mesh);
    EXPECT_EQ(model.getTextureName(0), "left.png");
    EXPECT_EQ(model.getTextureName(3), "");
    // Top picture row red, green; bottom row blue, white.
    const std::uint8_t bgr[] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
    CGLTexture<GL_TEXTURE_2D> texture;
    texture.createFromPicture(CPicture(CMyVector<int, 2>(2, 2), PICTURE_BGR, bgr));

    // Light 0 shines white along -z by default; no ambient light, no specular part.
    const float black[] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_SPECULAR, black);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glViewport(0, 0, glutWindowSize, glutWindowSize);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // GL refuses a shininess outside 0..128 and would keep the previous one.
    float shininess[3] = {};
    EXPECT_EQ(primitivesDrawn([&] {
                  for (unsigned int i = 0; i < 3; ++i) {
                      model.drawSubMesh(i == 0 ? &texture : nullptr, i);
                      glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess[i]);
                  }
              }),
              4u);
    EXPECT_EQ(std::vector<float>(shininess, shininess + 3), (std::vector<float>{128.0f, 0.0f, 37.5f}));
    glFinish();
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);

    // Left half: the texture lit through the diffuse (1, 0.5, 1), picture top
    // row along t = 0 at the bottom. Right half: the plain lit material.
    // Linear magnification blends a few percent of the neighbouring texel in.
    const std::pair<std::array<int, 2>, std::array<int, 3>> colours[] = {
        {{8, 16}, {255, 0, 0}},      {{23, 16}, {0, 128, 0}},     {{8, 47}, {0, 0, 255}},
        {{23, 47}, {255, 128, 255}}, {{40, 8}, {64, 128, 191}}, {{60, 60}, {64, 128, 191}}};
    for (const auto& [at, rgb] : colours) {
        std::uint8_t rgba[4] = {};
        glReadPixels(at[0], at[1], 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(rgba[c], rgb[c], 16) << "(" << at[0] << ", " << at[1] << ") channel " << c;
    }
    // Unit 0 is left untextured.
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // From the model's buffers, four of each kind are 12, 6, 6, 8, 5 and 4
    // indices; a kind outside the table draws nothing.
    const std::pair<int, GLuint> draws[] = {{PRIMITIVE_TRIANGLE_LIST, 4}, {PRIMITIVE_TRIANGLE_STRIP, 4},
                                            {PRIMITIVE_TRIANGLE_FAN, 4},  {PRIMITIVE_LINE_LIST, 4},
                                            {PRIMITIVE_LINE_STRIP, 4},    {PRIMITIVE_POINT_LIST, 4}, {6, 0}};
    for (const auto& draw : draws)
        EXPECT_EQ(primitivesDrawn([&] {
                      GLRenderer::getInstance().drawIndexedPrimitive(static_cast<PrimitiveType>(draw.first), 4,
                                                                     GL_UNSIGNED_INT, 0);
                  }),
                  draw.second)
            << "kind " << draw.first;
}
