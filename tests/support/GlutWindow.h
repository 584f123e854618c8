#pragma once

#include <GL/glew.h>
#include <GL/freeglut.h>

#include "engine_gl/GLRenderer.h"

// The one freeglut window of a GL test program, glutWindowSize pixels square
// (the viewer's display swaps its buffers, so its context must be a toolkit
// window). Created by the first call, with the renderer initialised on it;
// every call makes it current and drops errors left by earlier tests.
constexpr int glutWindowSize = 64;

inline void useGlutWindow()
{
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
    while (glGetError() != GL_NO_ERROR) {
    }
}
