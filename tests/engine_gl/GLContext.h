#pragma once

#include <GL/glew.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

// A real OpenGL compatibility context on $DISPLAY, drawing into the back
// buffer of a small window that is never mapped, so nothing depends on focus,
// stacking or other programs on the same display (llvmpipe keeps that buffer
// on the client side; a GLX pbuffer fails with BadMatch on its first flush).
// One per process; it stays current until the process ends.
class GLContext {
public:
    static constexpr int width = 64;
    static constexpr int height = 64;

    // Opens the display and makes the context current; on failure returns
    // false and leaves the reason in error().
    bool open()
    {
        // A busy Xvfb now and then refuses a connection (EAGAIN or a reset):
        // try again for up to five seconds before giving up.
        for (int attempt = 0; attempt < 50 && display == nullptr; ++attempt) {
            display = XOpenDisplay(nullptr);
            if (display == nullptr && std::getenv("DISPLAY") != nullptr)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (display == nullptr)
            return fail("cannot open the X display (is DISPLAY set?)");
        const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_DOUBLEBUFFER, True,
                                  GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_ALPHA_SIZE, 8,
                                  GLX_DEPTH_SIZE, 24, None};
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
        if (configs == nullptr || count == 0)
            return fail("no double-buffered RGBA GLX frame buffer configuration");
        const GLXFBConfig config = configs[0];
        XFree(configs);
        XVisualInfo* visual = glXGetVisualFromFBConfig(display, config);
        if (visual == nullptr)
            return fail("no X visual for the GLX configuration");
        const Window root = RootWindow(display, visual->screen);
        XSetWindowAttributes windowAttributes = {};
        windowAttributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
        window = XCreateWindow(display, root, 0, 0, width, height, 0, visual->depth, InputOutput, visual->visual,
                               CWColormap, &windowAttributes);
        XFree(visual);
        drawable = glXCreateWindow(display, config, window, nullptr);
        context = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
        if (drawable == 0 || context == nullptr)
            return fail("cannot create the GLX window or context");
        if (!glXMakeContextCurrent(display, drawable, drawable, context))
            return fail("cannot make the GL context current");
        return true;
    }

    const std::string& error() const { return reason; }

private:
    bool fail(const std::string& text)
    {
        reason = text;
        return false;
    }

    Display* display = nullptr;
    Window window = 0;
    GLXWindow drawable = 0;
    GLXContext context = nullptr;
    std::string reason;
};
