#include "XSession.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>
#include <thread>

namespace {

// Set by the error handler: a window that vanished between a lookup and a
// request reads as "not yet" or "gone".
bool errorCaught = false;

int recordError(Display*, XErrorEvent*)
{
    errorCaught = true;
    return 0;
}

bool takeError(Display* connection)
{
    XSync(connection, False);
    const bool caught = errorCaught;
    errorCaught = false;
    return caught;
}

template <class Found>
bool pollFor(std::chrono::milliseconds timeout, std::chrono::milliseconds period, Found found)
{
    for (const auto deadline = std::chrono::steady_clock::now() + timeout;; std::this_thread::sleep_for(period)) {
        if (found())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    }
}

}  // namespace

XSession::XSession() : connection(XOpenDisplay(nullptr))
{
    int event = 0, error = 0, major = 0, minor = 0;
    if (connection == nullptr || !XTestQueryExtension(connection, &event, &error, &major, &minor))
        throw std::runtime_error("XSession: no X display with the XTest extension");
    previousHandler = XSetErrorHandler(recordError);
}

XSession::~XSession()
{
    XSync(connection, False);
    XSetErrorHandler(previousHandler);
    XCloseDisplay(connection);
}

Window XSession::waitForFocusedWindow(const std::string& title)
{
    Window match = None;
    const auto findIt = [&] {
        Window root = None, parent = None, *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(connection, DefaultRootWindow(connection), &root, &parent, &children, &count))
            for (unsigned int i = 0; i < count && match == None; ++i) {
                XWindowAttributes attributes;
                char* name = nullptr;
                if (XGetWindowAttributes(connection, children[i], &attributes) && attributes.map_state == IsViewable
                    && XFetchName(connection, children[i], &name) && name != nullptr)
                    match = title == name ? children[i] : None;
                if (name != nullptr)
                    XFree(name);
            }
        if (children != nullptr)
            XFree(children);
        takeError(connection);
        return match != None;
    };
    if (!pollFor(std::chrono::seconds(10), std::chrono::milliseconds(20), findIt))
        return None;
    XSetInputFocus(connection, match, RevertToParent, CurrentTime);
    XRaiseWindow(connection, match);
    const bool focused = pollFor(std::chrono::seconds(1), std::chrono::milliseconds(10), [&] {
        Window current = None;
        int revert = 0;
        XGetInputFocus(connection, &current, &revert);
        return current == match;
    });
    return focused && !takeError(connection) ? match : None;
}

bool XSession::tapKey(KeySym keysym)
{
    const KeyCode code = XKeysymToKeycode(connection, keysym);
    XTestFakeKeyEvent(connection, code, True, CurrentTime);
    XTestFakeKeyEvent(connection, code, False, CurrentTime);
    XSync(connection, False);
    return code != 0;
}

RgbImage XSession::capture(Window window)
{
    XWindowAttributes attributes;
    XImage* image = XGetWindowAttributes(connection, window, &attributes)
                        ? XGetImage(connection, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap)
                        : nullptr;
    if (takeError(connection) || image == nullptr) {
        if (image != nullptr)
            XDestroyImage(image);
        return RgbImage();
    }
    // Eight bits a channel, where the masks put them.
    const auto channel = [](unsigned long pixel, unsigned long mask) {
        return static_cast<std::uint8_t>((pixel & mask) >> __builtin_ctzl(mask));
    };
    RgbImage picture(image->width, image->height);
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            picture.set(x, y, {channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                                  channel(pixel, image->blue_mask)});
        }
    XDestroyImage(image);
    return picture;
}

RgbImage XSession::waitForPicture(Window window, const Ready& ready, std::chrono::milliseconds timeout)
{
    RgbImage now;
    pollFor(timeout, std::chrono::milliseconds(30), [&] { return ready(now = capture(window)); });
    return now;
}

RgbImage XSession::settle(Window window)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return capture(window);
}

bool XSession::closeWindow(Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    return XSendEvent(connection, window, False, NoEventMask, &event) != 0 && !takeError(connection);
}
