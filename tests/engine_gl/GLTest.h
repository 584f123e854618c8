#pragma once

#include <GL/glew.h>
#include <GL/freeglut.h>

#include "engine_gl/GLRenderer.h"
#include "support/TempWorkDir.h"

// Fixture of the GL tests, each in a working directory of its own: the
// program's one real context, that of a freeglut window glutWindowSize pixels
// square (the viewer's display swaps its buffers, so it needs a toolkit
// window), created by the first test with the renderer initialised on it.
constexpr int glutWindowSize = 64;

class GLTest : public TempWorkDir {
protected:
    void SetUp() override
    {
        TempWorkDir::SetUp();
        static const int window = [] {
            int argc = 1;
            char name[] = "vesk-test";
            char* argv[] = {name, nullptr};
            glutInit(&argc, argv);
            glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
            glutInitWindowSize(glutWindowSize, glutWindowSize);
            const int id = glutCreateWindow("vesk test");
            VESK_GL::GLRenderer::getInstance().initialize();
            return id;
        }();
        glutSetWindow(window);
    }

    // No GL error may be left, and the renderer must not be left pointing at
    // a test's local declaration.
    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(VESK_GL::GLRenderer::getInstance().getCurrentDeclaration(), nullptr);
        TempWorkDir::TearDown();
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
