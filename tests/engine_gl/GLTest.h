#pragma once

#include <gtest/gtest.h>

#include "GLContext.h"
#include "engine_gl/GLRenderer.h"

// Fixture of the GL tests: one real context per test program, opened and
// handed to GLRenderer::initialize() by the first test that needs it. Without
// a display every test fails; none is skipped.
class GLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static GLContext context;
        static const bool opened = context.open() && (VESK_GL::GLRenderer::getInstance().initialize(), true);
        ASSERT_TRUE(opened) << context.error();
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    // The renderer must not be left pointing at a test's local declaration.
    void TearDown() override { EXPECT_EQ(VESK_GL::GLRenderer::getInstance().getCurrentDeclaration(), nullptr); }

    static GLenum takeError()
    {
        const GLenum error = glGetError();
        while (glGetError() != GL_NO_ERROR) {
        }
        return error;
    }
};
