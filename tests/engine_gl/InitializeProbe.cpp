// A program that opens a GL context and initialises the renderer, for the
// tests of initialize()'s fatal paths, which end the process. Prints
// "initialized" and exits 0 when initialize() returns.

#include <cstdio>

#include "GLContext.h"
#include "engine_gl/GLRenderer.h"

int main()
{
    GLContext context;
    if (!context.open()) {
        std::fprintf(stderr, "%s\n", context.error().c_str());
        return 2;
    }
    VESK_GL::GLRenderer::getInstance().initialize();
    std::printf("initialized\n");
    return 0;
}
