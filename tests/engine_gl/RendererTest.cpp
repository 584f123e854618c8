#include <cstring>
#include <string>
#include <vector>

#include "GLTest.h"
#include "engine/CDeclaration.h"

using namespace VESK;
using namespace VESK_GL;

namespace {

bool clientArrayEnabled(GLenum array, int unit = 0)
{
    glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
    const bool enabled = glIsEnabled(array);
    glClientActiveTextureARB(GL_TEXTURE0_ARB);
    return enabled;
}

bool enabledOnUnit(GLenum capability, int unit)
{
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    glActiveTextureARB(GL_TEXTURE0_ARB + unit);
    const bool enabled = glIsEnabled(capability);
    glActiveTextureARB(active);
    return enabled;
}

std::uintptr_t pointerOf(GLenum name, int unit = 0)
{
    glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
    void* pointer = nullptr;
    glGetPointerv(name, &pointer);
    glClientActiveTextureARB(GL_TEXTURE0_ARB);
    return reinterpret_cast<std::uintptr_t>(pointer);
}

GLint integer(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

std::vector<float> floats(GLenum name, int count)
{
    std::vector<float> values(count, -1.0f);
    glGetFloatv(name, values.data());
    return values;
}

std::vector<float> frontMaterial(GLenum name, int count)
{
    std::vector<float> values(count, -1.0f);
    glGetMaterialfv(GL_FRONT, name, values.data());
    return values;
}

}  // namespace

using RendererTest = GLTest;

TEST_F(RendererTest, InitializeRecordsTheDriverAndTheRequiredExtensions)
{
    const GLRenderer& renderer = GLRenderer::getInstance();
    EXPECT_EQ(renderer.getVersion(), reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    EXPECT_EQ(renderer.getExtensions(), reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    EXPECT_EQ(renderer.getVendor(), reinterpret_cast<const char*>(glGetString(GL_VENDOR)));
    EXPECT_EQ(renderer.getRendererName(), reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    EXPECT_EQ(renderer.getRequiredExtensions(),
              (std::vector<std::string>{"GL_ARB_vertex_buffer_object", "GL_ARB_multitexture",
                                        "GL_ARB_texture_env_combine"}));
}

TEST_F(RendererTest, CheckExtensionIsASubstringSearchThatReportsMisses)
{
    GLRenderer& renderer = GLRenderer::getInstance();
    testing::internal::CaptureStdout();
    EXPECT_TRUE(renderer.checkExtension("GL_ARB_vertex_buffer_obj"));
    EXPECT_TRUE(renderer.checkExtension("GL_ARB_multitexture"));
    EXPECT_FALSE(renderer.checkExtension("GL_VESK_no_such_thing"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "GL_EXTENSION ERROR : GL_VESK_no_such_thing was not found!\n");
}

TEST_F(RendererTest, VertexBufferEnablesArraysThatTheNextDeclarationTurnsOff)
{
    const CVertexElement full[] = {
        {0, DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0},
        {12, DECLTYPE_FLOAT3, DECLUSAGE_NORMAL, 0},
        {24, DECLTYPE_COLOR, DECLUSAGE_COLOR, 0},
        {28, DECLTYPE_FLOAT2, DECLUSAGE_TEXCOORD, 1},
        {36, DECLTYPE_FLOAT2, DECLUSAGE_TEXCOORD_SHIFTED, 2},
        // No texture target for colour-typed coordinates: skipped.
        {44, DECLTYPE_COLOR, DECLUSAGE_TEXCOORD, 3},
        // Usage codes outside the table: ignored.
        {0, DECLTYPE_FLOAT4, 0, 5},
        {0, DECLTYPE_FLOAT4, 10, 0},
        {0, 0, 0, 0},
    };
    const CVertexElement positionOnly[] = {{0, DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0}, {0, 0, 0, 0}};
    CDeclaration declaration;
    declaration.build(full);
    CDeclaration next;
    next.build(positionOnly);
    CGLBuffer<GL_ARRAY_BUFFER> buffer;
    buffer.create(3, 48, GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);

    GLRenderer& renderer = GLRenderer::getInstance();
    renderer.setDeclaration(&declaration);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    renderer.setVertexBuffer(buffer);

    EXPECT_EQ(static_cast<GLuint>(integer(GL_ARRAY_BUFFER_BINDING_ARB)), buffer.getGLName());
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_SIZE), 3);
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_TYPE), GL_FLOAT);
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_STRIDE), 48);
    EXPECT_EQ(pointerOf(GL_VERTEX_ARRAY_POINTER), 0u);
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_EQ(integer(GL_NORMAL_ARRAY_TYPE), GL_FLOAT);
    EXPECT_EQ(pointerOf(GL_NORMAL_ARRAY_POINTER), 12u);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_EQ(integer(GL_COLOR_ARRAY_SIZE), 4);
    EXPECT_EQ(integer(GL_COLOR_ARRAY_TYPE), GL_UNSIGNED_BYTE);
    EXPECT_EQ(pointerOf(GL_COLOR_ARRAY_POINTER), 24u);
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));

    EXPECT_FALSE(clientArrayEnabled(GL_TEXTURE_COORD_ARRAY, 0));
    EXPECT_TRUE(clientArrayEnabled(GL_TEXTURE_COORD_ARRAY, 1));
    EXPECT_TRUE(enabledOnUnit(GL_TEXTURE_2D, 1));
    EXPECT_EQ(pointerOf(GL_TEXTURE_COORD_ARRAY_POINTER, 1), 28u);
    EXPECT_TRUE(clientArrayEnabled(GL_TEXTURE_COORD_ARRAY, 2));
    EXPECT_TRUE(enabledOnUnit(GL_TEXTURE_3D, 2));
    EXPECT_FALSE(enabledOnUnit(GL_TEXTURE_2D, 2));
    EXPECT_EQ(pointerOf(GL_TEXTURE_COORD_ARRAY_POINTER, 2), 36u);
    EXPECT_FALSE(clientArrayEnabled(GL_TEXTURE_COORD_ARRAY, 3));
    EXPECT_FALSE(clientArrayEnabled(GL_TEXTURE_COORD_ARRAY, 5));
    // The active unit is left at the last texture-coordinate element handled.
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB + 2);
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));

    glColor4f(0.5f, 0.25f, 0.0f, 0.0f);
    renderer.setDeclaration(&next);
    EXPECT_EQ(renderer.getCurrentDeclaration(), &next);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(floats(GL_CURRENT_COLOR, 4), (std::vector<float>{1.0f, 1.0f, 1.0f, 1.0f}));
    for (int unit = 0; unit < 4; ++unit) {
        EXPECT_FALSE(clientArrayEnabled(GL_TEXTURE_COORD_ARRAY, unit)) << unit;
        EXPECT_FALSE(enabledOnUnit(GL_TEXTURE_2D, unit)) << unit;
        EXPECT_FALSE(enabledOnUnit(GL_TEXTURE_3D, unit)) << unit;
    }

    // Only the current declaration is dropped; its arrays go off with it.
    renderer.setVertexBuffer(buffer);
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    renderer.dropDeclaration(&declaration);
    EXPECT_EQ(renderer.getCurrentDeclaration(), &next);
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    renderer.dropDeclaration(&next);
    EXPECT_EQ(renderer.getCurrentDeclaration(), nullptr);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    glActiveTextureARB(GL_TEXTURE0_ARB);
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RendererTest, IndexBufferIsBoundAndItsElementSizeRecorded)
{
    CGLBuffer<GL_ELEMENT_ARRAY_BUFFER> shorts;
    shorts.create(6, 2, GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    GLRenderer& renderer = GLRenderer::getInstance();
    renderer.setIndexBuffer(shorts);
    EXPECT_EQ(static_cast<GLuint>(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB)), shorts.getGLName());
    EXPECT_EQ(renderer.getIndexSize(), 2);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
}

TEST_F(RendererTest, MaterialIsSetOnTheFrontFaceWithShininessClamped)
{
    CMaterial material;
    material.ambient = CMyVector<float, 4>(0.1f, 0.2f, 0.3f, 0.4f);
    material.diffuse = CMyVector<float, 4>(0.5f, 0.6f, 0.7f, 0.8f);
    material.specular = CMyVector<float, 4>(0.9f, 1.0f, 0.25f, 0.5f);
    material.emission = CMyVector<float, 4>(0.125f, 0.0f, 0.75f, 1.0f);
    material.shininess = 1000.0f;
    GLRenderer& renderer = GLRenderer::getInstance();
    renderer.setMaterial(material);
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(frontMaterial(GL_AMBIENT, 4), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(frontMaterial(GL_DIFFUSE, 4), (std::vector<float>{0.5f, 0.6f, 0.7f, 0.8f}));
    EXPECT_EQ(frontMaterial(GL_SPECULAR, 4), (std::vector<float>{0.9f, 1.0f, 0.25f, 0.5f}));
    EXPECT_EQ(frontMaterial(GL_EMISSION, 4), (std::vector<float>{0.125f, 0.0f, 0.75f, 1.0f}));
    EXPECT_EQ(frontMaterial(GL_SHININESS, 1), std::vector<float>{128.0f});
    EXPECT_EQ(material.shininess, 1000.0f);

    material.shininess = -3.0f;
    renderer.setMaterial(material);
    EXPECT_EQ(frontMaterial(GL_SHININESS, 1), std::vector<float>{0.0f});
    material.shininess = 37.5f;
    renderer.setMaterial(material);
    EXPECT_EQ(frontMaterial(GL_SHININESS, 1), std::vector<float>{37.5f});
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RendererTest, IndexedDrawsUseTheModeAndIndexCountOfEachKind)
{
    // Twelve distinct vertices and the indices 0..11; GL counts what it drew.
    const CVertexElement layout[] = {{0, DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0}, {0, 0, 0, 0}};
    CDeclaration declaration;
    declaration.build(layout);
    CGLBuffer<GL_ARRAY_BUFFER> vertices;
    vertices.create(12, 12, GL_STATIC_DRAW_ARB);
    float* positions = reinterpret_cast<float*>(vertices.lock(0, GL_READ_WRITE_ARB));
    for (int i = 0; i < 36; ++i)
        positions[i] = 0.05f * static_cast<float>(i % 7) - 0.1f;
    vertices.unlock();
    CGLBuffer<GL_ELEMENT_ARRAY_BUFFER> indices;
    indices.create(12, 2, GL_STATIC_DRAW_ARB);
    std::uint16_t* index = reinterpret_cast<std::uint16_t*>(indices.lock(0, GL_READ_WRITE_ARB));
    for (std::uint16_t i = 0; i < 12; ++i)
        index[i] = i;
    indices.unlock();

    GLRenderer& renderer = GLRenderer::getInstance();
    renderer.setDeclaration(&declaration);
    renderer.setIndexBuffer(indices);
    renderer.setVertexBuffer(vertices);
    GLuint query = 0;
    glGenQueries(1, &query);
    auto primitivesDrawn = [&](PrimitiveType kind, int n, std::uintptr_t offset = 0) {
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        renderer.drawIndexedPrimitive(kind, n, GL_UNSIGNED_SHORT, offset);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint count = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        return count;
    };
    // n = 4 of each kind draws 12, 6, 6, 8, 5 and 4 indices: four primitives.
    EXPECT_EQ(primitivesDrawn(PRIMITIVE_TRIANGLE_LIST, 4), 4u);
    EXPECT_EQ(primitivesDrawn(PRIMITIVE_TRIANGLE_STRIP, 4), 4u);
    EXPECT_EQ(primitivesDrawn(PRIMITIVE_TRIANGLE_FAN, 4), 4u);
    EXPECT_EQ(primitivesDrawn(PRIMITIVE_LINE_LIST, 4), 4u);
    EXPECT_EQ(primitivesDrawn(PRIMITIVE_LINE_STRIP, 4), 4u);
    EXPECT_EQ(primitivesDrawn(PRIMITIVE_POINT_LIST, 4), 4u);
    // Starting at byte 12 (index 6) leaves room for two triangles only.
    EXPECT_EQ(primitivesDrawn(PRIMITIVE_TRIANGLE_LIST, 2, 12), 2u);
    EXPECT_EQ(primitivesDrawn(static_cast<PrimitiveType>(6), 4), 0u);
    glDeleteQueries(1, &query);
    EXPECT_EQ(takeError(), static_cast<GLenum>(GL_NO_ERROR));
    renderer.setDeclaration(nullptr);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}
