#include <tuple>

#include "GLTest.h"
#include "engine/CDeclaration.h"

using namespace VESK;
using namespace VESK_GL;

using RendererTest = GLTest;

TEST_F(RendererTest, VertexBufferEnablesTheDeclaredArraysAndTheNextDeclarationTurnsThemOff)
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
    // Each capability on its texture unit, and whether the full declaration
    // turns it on.
    const std::tuple<GLenum, int, bool> states[] = {
        {GL_VERTEX_ARRAY, 0, true},         {GL_NORMAL_ARRAY, 0, true},         {GL_COLOR_ARRAY, 0, true},
        {GL_COLOR_MATERIAL, 0, true},       {GL_TEXTURE_COORD_ARRAY, 0, false}, {GL_TEXTURE_COORD_ARRAY, 1, true},
        {GL_TEXTURE_2D, 1, true},           {GL_TEXTURE_COORD_ARRAY, 2, true},  {GL_TEXTURE_3D, 2, true},
        {GL_TEXTURE_2D, 2, false},          {GL_TEXTURE_COORD_ARRAY, 3, false}, {GL_TEXTURE_COORD_ARRAY, 5, false},
    };
    const auto enabled = [](GLenum capability, int unit) {
        glActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
        const bool on = glIsEnabled(capability);
        glActiveTextureARB(GL_TEXTURE0_ARB);
        glClientActiveTextureARB(GL_TEXTURE0_ARB);
        return on;
    };
    const CVertexElement positionOnly[] = {{0, DECLTYPE_FLOAT3, DECLUSAGE_POSITION, 0}, {0, 0, 0, 0}};
    CDeclaration declaration;
    declaration.build(full);
    CDeclaration next;
    next.build(positionOnly);
    CGLBuffer<GL_ARRAY_BUFFER> buffer;
    buffer.create(3, 48, GL_STATIC_DRAW_ARB);

    GLRenderer& renderer = GLRenderer::getInstance();
    renderer.setDeclaration(&declaration);
    renderer.setVertexBuffer(buffer);
    for (const auto& [capability, unit, on] : states)
        EXPECT_EQ(enabled(capability, unit), on) << std::hex << capability << " on unit " << unit;
    renderer.setDeclaration(&next);
    for (const auto& [capability, unit, on] : states)
        EXPECT_FALSE(enabled(capability, unit)) << std::hex << capability << " on unit " << unit;

    // Only the current declaration is dropped; its arrays go off with it.
    renderer.setVertexBuffer(buffer);
    renderer.dropDeclaration(&declaration);
    EXPECT_EQ(renderer.getCurrentDeclaration(), &next);
    renderer.dropDeclaration(&next);
    EXPECT_EQ(renderer.getCurrentDeclaration(), nullptr);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
}
