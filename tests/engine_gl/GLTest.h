#pragma once

#include <gtest/gtest.h>

#include "engine_gl/GLRenderer.h"
#include "support/GlutWindow.h"

// Fixture of the GL tests: the program's one real window and context, opened
// and handed to GLRenderer::initialize() by the first test that needs it.
class GLTest : public ::testing::Test {
protected:
    void SetUp() override { useGlutWindow(); }

    // No GL error may be left, and the renderer must not be left pointing at
    // a test's local declaration.
    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(VESK_GL::GLRenderer::getInstance().getCurrentDeclaration(), nullptr);
    }

    // The primitives GL generated while the call ran.
    template <class Draw>
    static GLuint primitivesDrawn(Draw draw)
    {
        GLuint query = 0;
        GLuint count = 99;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        draw();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        glDeleteQueries(1, &query);
        return count;
    }
};
