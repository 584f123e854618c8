#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <vector>

#include "RgbImage.h"

// A client connection to an X server (24-bit TrueColor), through which
// vesk-view and its tests find the viewer's window, wait for the frames it
// draws, read its pixels back, type into it and ask it to close. It owns the
// connection from construction to destruction and meanwhile catches X
// protocol errors (a window that vanished) instead of letting Xlib end the
// program. Every wait ends at a deadline, or earlier when `gave up` says so
// (the viewer ended, a signal came). One instance at a time.
class ViewerDisplay {
public:
    using Clock = std::chrono::steady_clock;
    using Ready = std::function<bool(const RgbImage&)>;
    using GiveUp = std::function<bool()>;

    // Connects to the display of that name, or $DISPLAY's with none; check connected().
    explicit ViewerDisplay(const char* name = nullptr);
    ~ViewerDisplay();
    ViewerDisplay(const ViewerDisplay&) = delete;
    ViewerDisplay& operator=(const ViewerDisplay&) = delete;

    // True when connected to a server that takes key events from clients (XTest).
    bool connected() const { return connection != nullptr && canType; }

    // The viewers' windows ("My Window") on the display now.
    std::vector<Window> viewerWindows();

    // The viewer's window once it is mapped, given the input focus; None at
    // the deadline or once `giveUp` holds. The windows in `others` (of
    // viewers that ran before this one started) are left alone.
    Window findViewer(Clock::time_point deadline, const GiveUp& giveUp, const std::vector<Window>& others = {});

    // The window's contents; empty when it is gone.
    RgbImage capture(Window window);
    // The part of the whole screen that the window covers, as the screen
    // shows it now; empty when the window is gone.
    RgbImage captureBehind(Window window, const RgbImage& screen);
    RgbImage captureScreen();

    // Captures every 20 ms until `ready` holds, the deadline passes or
    // `giveUp` holds; the last capture.
    RgbImage waitForPicture(Window window, const Ready& ready, Clock::time_point deadline,
                            const GiveUp& giveUp = [] { return false; });

    // The first frame the window shows finished: unlike what the screen
    // showed there before the viewer drew (`screenBefore`, the whole screen),
    // and unchanged for `settle`; or, for a scene that looks like what was
    // behind it (black on a black screen), unchanged for ten times as long.
    // Empty at the deadline, once `giveUp` holds, or when the window is gone.
    RgbImage waitForFinishedFrame(Window window, const RgbImage& screenBefore, std::chrono::milliseconds settle,
                                  Clock::time_point deadline, const GiveUp& giveUp);

    // One press and release of the key carrying `keysym` (XTest), no modifier held.
    bool tapKey(KeySym keysym);

    // The ClientMessage WM_DELETE_WINDOW a window manager sends on a close.
    bool closeWindow(Window window);

private:
    // Whether a request since the last call failed.
    bool takeError();

    Display* connection = nullptr;
    bool canType = false;
};
