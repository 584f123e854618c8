#include "ViewerDisplay.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <utility>

namespace {

// Set by the error handler, taken by takeError().
bool errorCaught = false;

const std::chrono::milliseconds pollInterval(20);

// Asks `found` every pollInterval until it holds; false at the deadline or
// once `giveUp` holds.
template <class Found>
bool pollFor(ViewerDisplay::Clock::time_point deadline, const ViewerDisplay::GiveUp& giveUp, Found found)
{
    for (; !found(); std::this_thread::sleep_for(pollInterval))
        if (ViewerDisplay::Clock::now() >= deadline || giveUp())
            return false;
    return true;
}

RgbImage toRgb(XImage* image)
{
    std::string rgb;
    rgb.reserve(3 * std::size_t(image->width) * std::size_t(image->height));
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            rgb += {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8), static_cast<char>(pixel)};
        }
    return RgbImage(image->width, image->height, std::move(rgb));
}

}  // namespace

ViewerDisplay::ViewerDisplay(const char* name) : connection(XOpenDisplay(name))
{
    int event = 0, error = 0, major = 0, minor = 0;
    canType = connection != nullptr && XTestQueryExtension(connection, &event, &error, &major, &minor);
    XSetErrorHandler([](Display*, XErrorEvent*) {
        errorCaught = true;
        return 0;
    });
}

ViewerDisplay::~ViewerDisplay()
{
    if (connection != nullptr)
        XCloseDisplay(connection);
}

bool ViewerDisplay::takeError()
{
    XSync(connection, False);
    return std::exchange(errorCaught, false);
}

std::vector<Window> ViewerDisplay::viewerWindows()
{
    std::vector<Window> windows;
    Window root = None, parent = None, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(connection, DefaultRootWindow(connection), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count; ++i) {
        char* name = nullptr;
        if (XFetchName(connection, children[i], &name) && std::string(name) == "My Window")
            windows.push_back(children[i]);
        XFree(name);
    }
    XFree(children);
    takeError();
    return windows;
}

Window ViewerDisplay::findViewer(Clock::time_point deadline, const GiveUp& giveUp, const std::vector<Window>& others)
{
    Window window = None;
    const auto focused = [&] {
        for (const Window candidate : viewerWindows())
            if (std::find(others.begin(), others.end(), candidate) == others.end())
                window = candidate;
        // Until it is mapped, the window cannot take the focus.
        if (window != None)
            XSetInputFocus(connection, window, RevertToParent, CurrentTime);
        return !takeError() && window != None;
    };
    return pollFor(deadline, giveUp, focused) ? window : None;
}

RgbImage ViewerDisplay::capture(Window window)
{
    XWindowAttributes attributes;
    XImage* image = XGetWindowAttributes(connection, window, &attributes)
                        ? XGetImage(connection, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap)
                        : nullptr;
    takeError();
    if (image == nullptr)
        return RgbImage();
    RgbImage picture = toRgb(image);
    XDestroyImage(image);
    return picture;
}

RgbImage ViewerDisplay::captureScreen()
{
    return capture(DefaultRootWindow(connection));
}

RgbImage ViewerDisplay::captureBehind(Window window, const RgbImage& screen)
{
    XWindowAttributes attributes;
    int left = 0, top = 0;
    Window child = None;
    if (!XGetWindowAttributes(connection, window, &attributes) ||
        !XTranslateCoordinates(connection, window, DefaultRootWindow(connection), 0, 0, &left, &top, &child) ||
        takeError())
        return RgbImage();
    std::string rgb;
    for (int y = top; y < top + attributes.height; ++y)
        for (int x = left; x < left + attributes.width; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < screen.width() && y < screen.height();
            const RgbImage::Pixel p = inside ? screen.at(x, y) : RgbImage::Pixel{0, 0, 0};
            rgb += {static_cast<char>(p.red), static_cast<char>(p.green), static_cast<char>(p.blue)};
        }
    return RgbImage(attributes.width, attributes.height, std::move(rgb));
}

RgbImage ViewerDisplay::waitForPicture(Window window, const Ready& ready, Clock::time_point deadline,
                                       const GiveUp& giveUp)
{
    RgbImage now;
    pollFor(deadline, giveUp, [&] { return ready(now = capture(window)); });
    return now;
}

// Before its first frame the window shows what lay behind it; the viewer
// draws continuously, so once its scene is loaded and drawn, every frame is
// the same.
RgbImage ViewerDisplay::waitForFinishedFrame(Window window, const RgbImage& screenBefore,
                                             std::chrono::milliseconds settle, Clock::time_point deadline,
                                             const GiveUp& giveUp)
{
    const RgbImage behind = captureBehind(window, screenBefore);
    RgbImage last;
    Clock::time_point since = Clock::now();
    bool gone = false;
    const bool finished = pollFor(deadline, giveUp, [&] {
        RgbImage now = capture(window);
        gone = now.empty();
        if (gone)
            return true;
        if (!(now == last)) {
            last = std::move(now);
            since = Clock::now();
            return false;
        }
        return Clock::now() - since >= (last == behind ? 10 * settle : settle);
    });
    return finished && !gone ? last : RgbImage();
}

bool ViewerDisplay::tapKey(KeySym keysym)
{
    const KeyCode code = XKeysymToKeycode(connection, keysym);
    XTestFakeKeyEvent(connection, code, True, CurrentTime);
    XTestFakeKeyEvent(connection, code, False, CurrentTime);
    XSync(connection, False);
    return code != 0;
}

bool ViewerDisplay::closeWindow(Window window)
{
    XEvent event{};
    const Atom protocols = XInternAtom(connection, "WM_PROTOCOLS", False);
    event.xclient = {ClientMessage, 0, False, connection, window, protocols, 32, {}};
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
    return XSendEvent(connection, window, False, NoEventMask, &event) != 0 && !takeError();
}
