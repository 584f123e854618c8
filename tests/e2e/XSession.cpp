#include "XSession.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Set by the error handler; X errors arrive for windows that vanished
// between a lookup and a request, which the waits treat as "not yet" or "gone".
bool errorCaught = false;

int recordError(Display*, XErrorEvent*)
{
    errorCaught = true;
    return 0;
}

// Position of the lowest set bit of a colour mask, and the number of bits set.
void maskShape(unsigned long mask, int& shift, int& bits)
{
    shift = 0;
    bits = 0;
    if (mask == 0)
        return;
    while ((mask & 1UL) == 0) {
        mask >>= 1;
        ++shift;
    }
    while ((mask & 1UL) != 0) {
        mask >>= 1;
        ++bits;
    }
}

std::uint8_t channel(unsigned long pixel, int shift, int bits)
{
    if (bits == 0)
        return 0;
    const unsigned long value = (pixel >> shift) & ((1UL << bits) - 1);
    return static_cast<std::uint8_t>(bits >= 8 ? value >> (bits - 8) : value * 255 / ((1UL << bits) - 1));
}

} // namespace

XSession::XSession()
{
    connection = XOpenDisplay(nullptr);
    if (connection == nullptr)
        throw std::runtime_error("XSession: cannot open the X display named by DISPLAY");
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(connection, &eventBase, &errorBase, &major, &minor)) {
        XCloseDisplay(connection);
        throw std::runtime_error("XSession: the X server has no XTest extension");
    }
    errorCaught = false;
    previousHandler = XSetErrorHandler(recordError);
}

XSession::~XSession()
{
    XSync(connection, False);
    XSetErrorHandler(previousHandler);
    XCloseDisplay(connection);
}

bool XSession::takeError()
{
    XSync(connection, False);
    const bool caught = errorCaught;
    errorCaught = false;
    return caught;
}

bool XSession::windowMatches(Window window, const std::string& title, pid_t owner)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(connection, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    char* name = nullptr;
    if (!XFetchName(connection, window, &name) || name == nullptr)
        return false;
    const bool named = title == name;
    XFree(name);
    if (!named || owner <= 0)
        return named;

    const Atom pidAtom = XInternAtom(connection, "_NET_WM_PID", True);
    if (pidAtom == None)
        return true;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(connection, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
            &remaining, &data) != Success || data == nullptr)
        return true;
    const bool sameProcess = format != 32 || count != 1 || static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == owner;
    XFree(data);
    return sameProcess;
}

Window XSession::findWindow(Window parent, const std::string& title, pid_t owner)
{
    Window root = None, parentOfParent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(connection, parent, &root, &parentOfParent, &children, &count))
        return None;
    std::vector<Window> windows(children, children + count);
    if (children != nullptr)
        XFree(children);
    // Without a window manager the program's windows are children of the root;
    // one level deeper covers a reparenting manager's frames.
    for (Window window : windows)
        if (windowMatches(window, title, owner))
            return window;
    if (parent == DefaultRootWindow(connection))
        for (Window window : windows)
            if (const Window found = findWindow(window, title, owner); found != None)
                return found;
    return None;
}

Window XSession::waitForWindow(const std::string& title, pid_t owner, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const Window found = findWindow(DefaultRootWindow(connection), title, owner);
        takeError();
        if (found != None)
            return found;
        if (std::chrono::steady_clock::now() >= deadline)
            return None;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool XSession::focus(Window window)
{
    XSetInputFocus(connection, window, RevertToParent, CurrentTime);
    XRaiseWindow(connection, window);
    if (takeError())
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        Window focused = None;
        int revert = 0;
        XGetInputFocus(connection, &focused, &revert);
        if (focused == window)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool XSession::tapKey(KeySym keysym)
{
    const KeyCode code = XKeysymToKeycode(connection, keysym);
    if (code == 0)
        return false;
    XTestFakeKeyEvent(connection, code, True, CurrentTime);
    XTestFakeKeyEvent(connection, code, False, CurrentTime);
    XSync(connection, False);
    return true;
}

RgbImage XSession::capture(Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(connection, window, &attributes)) {
        takeError();
        return RgbImage();
    }
    XImage* image = XGetImage(connection, window, 0, 0, static_cast<unsigned int>(attributes.width),
        static_cast<unsigned int>(attributes.height), AllPlanes, ZPixmap);
    if (takeError() || image == nullptr) {
        if (image != nullptr)
            XDestroyImage(image);
        return RgbImage();
    }

    int redShift, redBits, greenShift, greenBits, blueShift, blueBits;
    maskShape(image->red_mask, redShift, redBits);
    maskShape(image->green_mask, greenShift, greenBits);
    maskShape(image->blue_mask, blueShift, blueBits);
    RgbImage picture(image->width, image->height);
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            picture.set(x, y,
                RgbImage::Pixel{channel(pixel, redShift, redBits), channel(pixel, greenShift, greenBits),
                    channel(pixel, blueShift, blueBits)});
        }
    XDestroyImage(image);
    return picture;
}

RgbImage XSession::waitForPicture(Window window, const std::function<bool(const RgbImage&)>& ready,
    std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        RgbImage now = capture(window);
        if (ready(now) || std::chrono::steady_clock::now() >= deadline)
            return now;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
}

RgbImage XSession::waitForChange(Window window, const RgbImage& before, std::chrono::milliseconds timeout)
{
    return waitForPicture(window, [&before](const RgbImage& now) { return now != before; }, timeout);
}

RgbImage XSession::settle(Window window, std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
    return capture(window);
}

bool XSession::closeWindow(Window window)
{
    const Atom protocols = XInternAtom(connection, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(connection, "WM_DELETE_WINDOW", False);

    Atom* supported = nullptr;
    int count = 0;
    bool takesPart = false;
    if (XGetWMProtocols(connection, window, &supported, &count)) {
        for (int i = 0; i < count; ++i)
            takesPart = takesPart || supported[i] == deleteWindow;
        XFree(supported);
    }
    if (takeError() || !takesPart)
        return false;

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(connection, window, False, NoEventMask, &event);
    return sent != 0 && !takeError();
}
