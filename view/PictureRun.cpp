#include "PictureRun.h"

#include <X11/keysym.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <thread>

#include "FramePicture.h"
#include "PrivateXServer.h"
#include "ViewerDisplay.h"

namespace {

// Loading a model of millions of triangles and drawing it in software takes
// seconds; a minute means something is wrong.
constexpr std::chrono::seconds frameLimit(60);
// The viewer draws continuously: a frame unchanged this long is the finished scene.
constexpr std::chrono::milliseconds settle(300);
// How long the viewer may take to end after Esc, and again after a window
// manager's close, before it is ended by a signal.
constexpr std::chrono::seconds endLimit(5);

void say(const std::string& text)
{
    std::cerr << "vesk-view: " << text << std::endl;
}

// Waits until the viewer has ended, at most `limit`; true when it has.
bool endsWithin(ViewerRun& run, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!run.ended()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace

int PictureRun::render(ViewerRun& run, const std::filesystem::path& viewer, const std::filesystem::path& folder) const
{
    std::optional<PrivateXServer> server;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        server.emplace();
        if (server->displayName().empty()) {
            say(server->error());
            return 1;
        }
        setenv("DISPLAY", server->displayName().c_str(), 1);
    }
    ViewerDisplay screen;
    if (!screen.connected()) {
        say(std::string("cannot use the X display ") + std::getenv("DISPLAY") + " (it must take key events: XTest)");
        return 1;
    }
    const RgbImage before = screen.captureScreen();
    const std::vector<Window> others = screen.viewerWindows();
    const int started = run.start(viewer, folder, true);
    if (started != 0)
        return started;

    const auto giveUp = [&run] { return run.signalled() != 0 || run.ended(); };
    const auto deadline = ViewerDisplay::Clock::now() + frameLimit;
    const Window window = screen.findViewer(deadline, giveUp, others);
    const RgbImage frame =
        window == None ? RgbImage() : screen.waitForFinishedFrame(window, before, settle, deadline, giveUp);

    // Ended as a user would end it, so that it takes itself down as designed.
    if (window != None && !run.ended())
        screen.tapKey(XK_Escape);
    if (!endsWithin(run, endLimit) && !(window != None && screen.closeWindow(window) && endsWithin(run, endLimit)))
        run.stop(SIGTERM);
    const int status = run.wait();
    if (run.signalled() != 0)
        return 128 + run.signalled();
    if (frame.empty()) {
        if (status != 0)
            return status;
        say(ViewerDisplay::Clock::now() < deadline
                ? "the viewer ended without showing a finished frame; no picture written"
                : "the viewer showed no finished frame within " + std::to_string(frameLimit.count()) +
                      " s; no picture written");
        return 1;
    }
    std::string error;
    if (!writeFramePicture(frame, longerSide, output, error)) {
        say(error);
        return 1;
    }
    return status;
}
