#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>

#include "RgbImage.h"

// A client connection to the X server named by $DISPLAY (24-bit TrueColor, no
// window manager), through which an end-to-end test finds the viewer's
// window, types into it with XTest, reads its pixels back and asks it to
// close. It owns the connection from constructor to destructor and,
// meanwhile, catches X protocol errors (a window that vanished) instead of
// letting Xlib end the test program. Every wait is bounded. Xlib's macros
// (None, Bool) clash with GoogleTest's headers: include those first.
class XSession {
public:
    using Ready = std::function<bool(const RgbImage&)>;

    // Throws std::runtime_error without a display or its XTest extension.
    XSession();
    ~XSession() { XCloseDisplay(connection); }
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // The viewer's window, focused, once it has drawn a frame for which
    // `ready` holds, kept in `frame`; None after 10 s of each wait.
    Window waitForViewer(const Ready& ready, RgbImage& frame);
    // One press and release of the key carrying `keysym`, no modifier held.
    bool tapKey(KeySym keysym);
    // A capture unlike `before`, or the last one after `timeout`.
    RgbImage waitForChange(Window window, const RgbImage& before, std::chrono::milliseconds timeout = std::chrono::seconds(3));
    // The ClientMessage WM_DELETE_WINDOW a window manager sends on a close.
    bool closeWindow(Window window);

private:
    // The window's contents; empty when it is gone.
    RgbImage capture(Window window);
    // Captures every 20 ms until `ready` holds, at most `timeout`; the last capture.
    RgbImage waitForPicture(Window window, const Ready& ready, std::chrono::milliseconds timeout);

    Display* connection = nullptr;
};
