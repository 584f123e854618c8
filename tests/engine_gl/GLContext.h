#pragma once

#include <GL/glew.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <string>

// A real OpenGL compatibility context on $DISPLAY, drawing into a small
// off-screen pbuffer (no window, so nothing depends on focus or mapping).
// One per process; it stays current until the process ends.
class GLContext {
public:
    static constexpr int width = 64;
    static constexpr int height = 64;

    // Opens the display and makes the context current; on failure returns
    // false and leaves the reason in error().
    bool open()
    {
        display = XOpenDisplay(nullptr);
        if (display == nullptr)
            return fail("cannot open the X display (is DISPLAY set?)");
        const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                                  GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_ALPHA_SIZE, 8,
                                  GLX_DEPTH_SIZE, 24, None};
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
        if (configs == nullptr || count == 0)
            return fail("no GLX frame buffer configuration with a pbuffer");
        const GLXFBConfig config = configs[0];
        XFree(configs);
        const int pbufferAttributes[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
        pbuffer = glXCreatePbuffer(display, config, pbufferAttributes);
        context = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
        if (pbuffer == 0 || context == nullptr)
            return fail("cannot create the GLX pbuffer or context");
        if (!glXMakeContextCurrent(display, pbuffer, pbuffer, context))
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
    GLXPbuffer pbuffer = 0;
    GLXContext context = nullptr;
    std::string reason;
};
