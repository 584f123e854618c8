#pragma once

// What the end-to-end tests share: starting a program until its window has
// drawn, and reading colours and regions off a capture. GoogleTest comes
// before the X headers, whose macros (None, Bool) it would trip on.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "RgbImage.h"
#include "XSession.h"
#include "support/ChildProcess.h"

inline std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline bool isRed(RgbImage::Pixel p) { return p.red > 100 && p.green < 40 && p.blue < 40; }
inline bool isGreen(RgbImage::Pixel p) { return p.green > 100 && p.red < 40 && p.blue < 40; }
inline bool isBlack(RgbImage::Pixel p) { return p.red == 0 && p.green == 0 && p.blue == 0; }

// True once the viewer has drawn: its black clear colour fills the top-left
// corner, where no test scene puts anything, while a window not drawn yet
// shows the server's root pattern there.
inline bool cornerIsClear(const RgbImage& image)
{
    return !image.empty() && isBlack(image.at(0, 0)) && isBlack(image.at(1, 0)) && isBlack(image.at(0, 1))
           && isBlack(image.at(1, 1));
}

struct Region {
    std::size_t count = 0;
    int left = -1, right = -1, top = -1, bottom = -1;
};

inline Region findPixels(const RgbImage& image, const std::function<bool(RgbImage::Pixel)>& matches)
{
    Region region;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (!matches(image.at(x, y)))
                continue;
            if (region.count == 0) {
                region.left = region.right = x;
                region.top = region.bottom = y;
            }
            ++region.count;
            region.left = std::min(region.left, x);
            region.right = std::max(region.right, x);
            region.top = std::min(region.top, y);
            region.bottom = std::max(region.bottom, y);
        }
    return region;
}

inline bool anythingDrawn(const RgbImage& image) { return findPixels(image, [](RgbImage::Pixel p) { return !isBlack(p); }).count > 0; }

// Starts the program with the arguments, waits for the viewer's window and
// focuses it, then waits until a drawn frame satisfies `ready` and keeps it in
// `frame`. Returns None on failure, with the last capture saved as "<test name>.ppm".
inline Window startAndWaitForFrame(ChildProcess& program, const std::vector<std::string>& arguments,
    XSession& session, const XSession::Ready& ready, RgbImage& frame)
{
    const Window window = program.start(arguments) ? session.waitForFocusedWindow("My Window") : None;
    if (window == None)
        return None;
    frame = session.waitForPicture(window, [&ready](const RgbImage& image) { return cornerIsClear(image) && ready(image); });
    if (!cornerIsClear(frame) || !ready(frame)) {
        std::ofstream(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ppm") << frame.ppm();
        return None;
    }
    return window;
}
