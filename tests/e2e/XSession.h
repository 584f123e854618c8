#pragma once

#include <X11/Xlib.h>

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

#include "RgbImage.h"

// A client connection to the X server named by $DISPLAY, through which an
// end-to-end test finds the window of the program under test, types into it
// with XTest, reads its pixels back and asks it to close. It owns the
// connection, opened in the constructor and closed in the destructor, and
// while it lives it catches X protocol errors (for a window that vanished)
// instead of letting Xlib end the test program. One session at a time.
// Every wait is bounded by the timeout it takes. Xlib's macros (None, Bool)
// clash with GoogleTest's headers: include those before this one.
class XSession {
public:
    // Opens $DISPLAY; throws std::runtime_error when it cannot, or when the
    // server lacks the XTest extension.
    XSession();
    ~XSession();

    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    Display* display() const { return connection; }

    // Polls the top-level windows every 20 ms, at most `timeout`, for a viewable
    // window whose name is `title` and, when the window carries _NET_WM_PID and
    // `owner` is positive, whose process is `owner`. Returns None on timeout.
    Window waitForWindow(const std::string& title, pid_t owner,
        std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Gives the window the keyboard focus (there is no window manager to do
    // it) and waits, at most one second, until the server reports it focused.
    bool focus(Window window);

    // Sends one key press and its release through XTest for the key that
    // carries `keysym` (XK_a, XK_Escape, XK_Left, ...) and waits until the
    // server has them. No modifier is held, so a letter arrives in lower case.
    // Returns false when no key of the keyboard carries the symbol.
    bool tapKey(KeySym keysym);

    // The window's contents as the server holds them (XGetImage); the window
    // must lie wholly on the screen. An empty picture when the window is gone
    // or cannot be read.
    RgbImage capture(Window window);

    // Captures the window every 30 ms, at most `timeout`, until `ready` holds
    // for the capture; returns the last capture (`ready` may be false for it
    // after a timeout).
    RgbImage waitForPicture(Window window, const std::function<bool(const RgbImage&)>& ready,
        std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // waitForPicture until the contents differ from `before`, at most `timeout`
    // (the last capture equals `before` on timeout).
    RgbImage waitForChange(Window window, const RgbImage& before,
        std::chrono::milliseconds timeout = std::chrono::seconds(3));

    // Lets the program draw a few frames: a fixed sleep of `duration`, then a capture.
    RgbImage settle(Window window, std::chrono::milliseconds duration = std::chrono::milliseconds(300));

    // Asks the window to close the way a window manager does: a ClientMessage
    // WM_PROTOCOLS carrying WM_DELETE_WINDOW. Returns false when the window
    // does not take part in that protocol or the message cannot be sent.
    bool closeWindow(Window window);

    // True when an X protocol error was caught since the last call.
    bool takeError();

private:
    Window findWindow(Window parent, const std::string& title, pid_t owner);
    bool windowMatches(Window window, const std::string& title, pid_t owner);

    Display* connection = nullptr;
    int (*previousHandler)(Display*, XErrorEvent*) = nullptr;
};
