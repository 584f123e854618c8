#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <string>

#include "RgbImage.h"

// A client connection to the X server named by $DISPLAY (24-bit TrueColor, no
// window manager), through which an end-to-end test finds the window of the
// program under test, types into it with XTest, reads its pixels back and asks
// it to close. It owns the connection from constructor to destructor and,
// meanwhile, catches X protocol errors (a window that vanished) instead of
// letting Xlib end the test program. Every wait is bounded. Xlib's macros
// (None, Bool) clash with GoogleTest's headers: include those first.
class XSession {
public:
    using Ready = std::function<bool(const RgbImage&)>;

    // Throws std::runtime_error without a display or its XTest extension.
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // The viewable top-level window named `title`, focused; None after 10 s.
    Window waitForFocusedWindow(const std::string& title);
    // One press and release of the key carrying `keysym`, no modifier held.
    bool tapKey(KeySym keysym);
    // The window's contents; empty when it is gone.
    RgbImage capture(Window window);
    // Captures every 30 ms until `ready` holds, at most `timeout`; the last capture.
    RgbImage waitForPicture(Window window, const Ready& ready, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    RgbImage waitForChange(Window window, const RgbImage& before)
    {
        return waitForPicture(window, [&before](const RgbImage& now) { return now != before; }, std::chrono::seconds(3));
    }
    // A capture after the program had 300 ms to draw whatever it would.
    RgbImage settle(Window window);
    // The ClientMessage WM_DELETE_WINDOW a window manager sends on a close.
    bool closeWindow(Window window);

private:
    Display* connection = nullptr;
    int (*previousHandler)(Display*, XErrorEvent*) = nullptr;
};
