#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

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
    XSession() : connection(XOpenDisplay(nullptr))
    {
        int event = 0, error = 0, major = 0, minor = 0;
        if (connection == nullptr || !XTestQueryExtension(connection, &event, &error, &major, &minor))
            throw std::runtime_error("XSession: no X display with the XTest extension");
        XSetErrorHandler([](Display*, XErrorEvent*) {
            errorCaught = true;
            return 0;
        });
    }
    ~XSession() { XCloseDisplay(connection); }
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // The viewer's window, focused, once it has drawn a frame for which
    // `ready` holds, kept in `frame`; None after 10 s of each wait. Until it
    // is mapped, the window cannot take the focus.
    Window waitForViewer(const Ready& ready, RgbImage& frame)
    {
        Window window = None;
        const auto focused = [&] {
            Window root = None, parent = None, *children = nullptr;
            unsigned int count = 0;
            XQueryTree(connection, DefaultRootWindow(connection), &root, &parent, &children, &count);
            for (unsigned int i = 0; i < count; ++i) {
                char* name = nullptr;
                if (XFetchName(connection, children[i], &name) && std::string(name) == "My Window")
                    window = children[i];
                XFree(name);
            }
            XFree(children);
            if (window != None)
                XSetInputFocus(connection, window, RevertToParent, CurrentTime);
            return !takeError() && window != None;
        };
        const auto drawnAndReady = [&ready](const RgbImage& image) { return isDrawn(image) && ready(image); };
        if (!pollFor(std::chrono::seconds(10), focused))
            return None;
        frame = waitForPicture(window, drawnAndReady, std::chrono::seconds(10));
        return drawnAndReady(frame) ? window : None;
    }

    // One press and release of the key carrying `keysym`, no modifier held.
    bool tapKey(KeySym keysym)
    {
        const KeyCode code = XKeysymToKeycode(connection, keysym);
        XTestFakeKeyEvent(connection, code, True, CurrentTime);
        XTestFakeKeyEvent(connection, code, False, CurrentTime);
        XSync(connection, False);
        return code != 0;
    }

    // A capture unlike `before`, or the last one after `timeout`.
    RgbImage waitForChange(Window window, const RgbImage& before,
        std::chrono::milliseconds timeout = std::chrono::seconds(3))
    {
        return waitForPicture(window, [&before](const RgbImage& now) { return !(now == before); }, timeout);
    }

    // The ClientMessage WM_DELETE_WINDOW a window manager sends on a close.
    bool closeWindow(Window window)
    {
        XEvent event{};
        const Atom protocols = XInternAtom(connection, "WM_PROTOCOLS", False);
        event.xclient = {ClientMessage, 0, False, connection, window, protocols, 32, {}};
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
        return XSendEvent(connection, window, False, NoEventMask, &event) != 0 && !takeError();
    }

private:
    // True once the viewer has drawn: its black clear colour fills the
    // top-left corner, where no test scene puts anything, while a window not
    // drawn yet shows the server's root pattern there.
    static bool isDrawn(const RgbImage& image)
    {
        return !image.empty() && isBlack(image.at(0, 0)) && isBlack(image.at(1, 0)) && isBlack(image.at(0, 1))
               && isBlack(image.at(1, 1));
    }

    // Asks `found` every 20 ms until it holds; false after `timeout`.
    template <class Found>
    static bool pollFor(std::chrono::milliseconds timeout, Found found)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (; !found(); std::this_thread::sleep_for(std::chrono::milliseconds(20)))
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
        return true;
    }

    // Whether a request since the last call failed: a window that vanished
    // between a lookup and a request reads as "not yet" or "gone".
    bool takeError()
    {
        XSync(connection, False);
        return std::exchange(errorCaught, false);
    }

    // The window's contents; empty when it is gone.
    RgbImage capture(Window window)
    {
        XWindowAttributes attributes;
        XImage* image = XGetWindowAttributes(connection, window, &attributes)
                            ? XGetImage(connection, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap)
                            : nullptr;
        takeError();
        if (image == nullptr)
            return RgbImage();
        std::string rgb;
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                rgb += {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8), static_cast<char>(pixel)};
            }
        const RgbImage picture(image->width, image->height, std::move(rgb));
        XDestroyImage(image);
        return picture;
    }

    // Captures every 20 ms until `ready` holds, at most `timeout`; the last capture.
    RgbImage waitForPicture(Window window, const Ready& ready, std::chrono::milliseconds timeout)
    {
        RgbImage now;
        pollFor(timeout, [&] { return ready(now = capture(window)); });
        return now;
    }

    static inline bool errorCaught = false;  // set by the error handler
    Display* connection = nullptr;
};
