// End-to-end tests of vesk-viewer: the real program in a fresh working
// directory, the real X server, real key events and the window's real pixels.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "Colours.h"
#include "view/ViewerDisplay.h"
#include "support/ChildProcess.h"
#include "support/TempWorkDir.h"

namespace {

// "memory.log" of a run that leaves no block.
const std::string cleanMemoryLog = logText("memory.log",
    {"[ INFOS ] -------------------Verification memory----------------------", "[ INFOS ] Memory clean",
        "[ INFOS ] " + std::string(59, '-')});

class ViewerProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(display.connected()) << "no X display with the XTest extension"; }

    // Starts the viewer; its window, focused, once it has drawn a frame for
    // which `ready` holds, kept in `first`; None after 10 s of each wait.
    // Drawn means that its black clear colour fills the top-left corner, where
    // no test scene puts anything: a window not drawn yet shows the server's
    // root pattern there.
    Window startViewer(const ViewerDisplay::Ready& ready)
    {
        const auto drawnAndReady = [&ready](const RgbImage& image) {
            return !image.empty() && isBlack(image.at(0, 0)) && isBlack(image.at(1, 0)) && isBlack(image.at(0, 1))
                   && isBlack(image.at(1, 1)) && ready(image);
        };
        const Window window = viewer.start() ? display.findViewer(soon(), never) : None;
        first = window == None ? RgbImage() : display.waitForPicture(window, drawnAndReady, soon());
        return drawnAndReady(first) ? window : None;
    }

    // A capture unlike `before`, or the last one after `timeout`.
    RgbImage waitForChange(Window window, const RgbImage& before,
        std::chrono::milliseconds timeout = std::chrono::seconds(3))
    {
        return display.waitForPicture(window, [&before](const RgbImage& now) { return !(now == before); },
            ViewerDisplay::Clock::now() + timeout);
    }

    static ViewerDisplay::Clock::time_point soon() { return ViewerDisplay::Clock::now() + std::chrono::seconds(10); }
    static bool never() { return false; }

    ChildProcess viewer{VESK_VIEWER_PATH};
    ViewerDisplay display;
    RgbImage first;
};

// The scene's frames move their models right (+x), down (+y) and away (+z).
// Quad, drawn twice, is loaded once, a model before its textures; the texture
// named with a backslash is found in its folder, and its picture (blue,
// yellow over cyan, magenta) shows unmirrored and the right way up. Ghost is
// missing: it is reported on every frame and tags the later log lines ERROR.
// Red's texture is named like a mesh: it is refused, and the mesh later
// loaded under that name is not taken for it. Lost names only a material that
// no file defines: it is drawn in the default one. Each camera key then moves
// the view of Red, and its opposite brings the first frame back; a window
// manager's close runs the exit handler.
TEST_F(ViewerProgramTest, SceneLoadsEachFileOnceDrawsWhatLoadedMovesWithTheKeysAndClosesFromTheWindowManager)
{
    std::filesystem::copy(VESK_E2E_DATA "/scene", viewer.workingDirectory(), std::filesystem::copy_options::recursive);
    // At a depth of 10, a unit is 92.7 pixels (the 45 degree view of 768
    // rows): the first quad's quadrant centres lie 46 pixels from (141, 199),
    // and Lost's centre, at a depth of 12, at (821, 384).
    const auto isGrey = [](RgbImage::Pixel p) {
        return p.red > 30 && std::abs(p.red - p.green) < 8 && std::abs(p.green - p.blue) < 8;
    };
    const Window window = startViewer([&](const RgbImage& image) {
        return isRed(image.at(image.width() / 2, image.height() / 2)) && isGrey(image.at(821, 384));
    });
    ASSERT_NE(window, None);
    const auto is = [this](int x, int y, bool red, bool green, bool blue) {
        const RgbImage::Pixel p = first.at(x, y);
        return (red ? p.red > 150 : p.red < 60) && (green ? p.green > 150 : p.green < 60)
               && (blue ? p.blue > 150 : p.blue < 60);
    };
    EXPECT_TRUE(is(95, 153, false, false, true));
    EXPECT_TRUE(is(187, 153, true, true, false));
    EXPECT_TRUE(is(95, 245, false, true, true));
    EXPECT_TRUE(is(187, 245, true, false, true));

    const RgbImage::Region start = first.find(isRed);
    // A key, the key that undoes it, and how the red square moved.
    const std::tuple<KeySym, KeySym, std::function<bool(const RgbImage::Region&)>> steps[] = {
        // The scene moves right, up the screen, or away (smaller, still central).
        {XK_d, XK_q, [&](const auto& red) { return red.left > first.width() / 2; }},
        {XK_w, XK_x, [&](const auto& red) { return red.bottom < first.height() / 2; }},
        {XK_s, XK_z, [&](const auto& r) { return r.count < start.count && r.left > start.left && r.top > start.top; }},
        // The view turns: the square slides sideways at its height, or up or down.
        {XK_Left, XK_Right, [&](const auto& red) { return red.left != start.left && std::abs(red.top - start.top) <= 3; }},
        {XK_Up, XK_Down, [&](const auto& red) { return red.top != start.top; }},
    };
    for (const auto& [key, back, movedAsExpected] : steps) {
        ASSERT_TRUE(display.tapKey(key));
        const RgbImage moved = waitForChange(window, first);
        const RgbImage::Region red = moved.find(isRed);
        EXPECT_TRUE(red.count > 0 && movedAsExpected(red)) << XKeysymToString(key);
        ASSERT_TRUE(display.tapKey(back));
        EXPECT_EQ(waitForChange(window, moved), first) << XKeysymToString(back);
    }
    // An unmapped key changes nothing on screen.
    ASSERT_TRUE(display.tapKey(XK_a));
    EXPECT_EQ(waitForChange(window, first, std::chrono::milliseconds(300)), first);

    ASSERT_TRUE(display.closeWindow(window));
    const ChildProcess::Result result = viewer.waitForExit();
    EXPECT_EQ(result.exitStatus, 0);
    // One line a frame.
    const std::string line = "Ghost.obj not found!\n";
    std::string lines = line + line;
    while (lines.size() < result.standardOutput.size())
        lines += line;
    EXPECT_EQ(result.standardOutput, lines);
    EXPECT_EQ(unstamped(result.globalLog), logText("global.log", {
        "[ INFOS ] CResourceManager - LOADING : Quad.obj",
        "[ INFOS ] CResourceManager - LOADING : wood.ppm",
        "[ INFOS ] CResourceManager - LOADING : sub\\Metal.ppm",
        "[ ERROR ] VESK::CObjLoader::loadFromFile Data/Ghost.obj [FAILED] (No such file or directory)",
        "[ ERROR ] CResourceManager - LOADING : Red.obj",
        "[ ERROR ] VESK::CPictureLoader::loadFromFile Data/Lost.obj [FAILED]",
        "[ ERROR ] CResourceManager - LOADING : Lost.obj",
        "[ ERROR ] CResourceManager - RELEASE : Lost.obj",
        "[ ERROR ] CResourceManager - RELEASE : Quad.obj",
        "[ ERROR ] CResourceManager - RELEASE : Red.obj",
        "[ ERROR ] CResourceManager - RELEASE : sub\\Metal.ppm",
        "[ ERROR ] CResourceManager - RELEASE : wood.ppm",
    }));
    EXPECT_EQ(unstamped(result.memoryLog), cleanMemoryLog);
}

// A context without what the renderer needs ends the viewer before its
// window draws, with the reason on standard output and both logs closed.
TEST_F(ViewerProgramTest, AnUnusableContextEndsWithStatus255TheReasonAndClosedLogs)
{
    viewer.preload(VESK_HIDE_EXTENSION_LIBRARY);
    const std::pair<const char*, std::string> cases[] = {
        {"GL_ARB_vertex_buffer_object", "GL_EXTENSION ERROR : GL_ARB_vertex_buffer_object was not found!\n"},
        {"GL_ARB_multitexture", "GL_EXTENSION ERROR : GL_ARB_multitexture was not found!\n"},
        {"GL_ARB_texture_env_combine", "GL_EXTENSION ERROR : GL_ARB_texture_env_combine was not found!\n"},
        // A null extension string reads as empty text.
        {"*", "GL_EXTENSION ERROR : GL_ARB_vertex_buffer_object was not found!\n"},
        {"GL_VERSION", "GLEW ERROR : Missing GL version\n"},
    };
    for (const auto& [hidden, reason] : cases) {
        viewer.setEnvironment("VESK_HIDE", hidden);
        ASSERT_TRUE(viewer.start());
        const ChildProcess::Result result = viewer.waitForExit();
        EXPECT_EQ(result.exitStatus, 255) << hidden;
        EXPECT_EQ(result.standardOutput, reason);
        EXPECT_EQ(unstamped(result.globalLog), logText("global.log", {}));
        EXPECT_EQ(unstamped(result.memoryLog), cleanMemoryLog);
    }
}

// Without a scene file the window is black and stays black, and nothing is
// loaded; the demo fills a good part of the window. Esc ends both.
TEST_F(ViewerProgramTest, EscEndsABlackWindowWithoutSceneAndTheDemoScene)
{
    const Window window = startViewer([](const RgbImage& image) {
        return image.find(isBlack).count == static_cast<std::size_t>(image.width()) * image.height();
    });
    ASSERT_NE(window, None);
    EXPECT_EQ(waitForChange(window, first, std::chrono::milliseconds(300)), first);
    ASSERT_TRUE(display.tapKey(XK_Escape));
    ChildProcess::Result result = viewer.waitForExit();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "SceneGraph file not found!\n");
    EXPECT_EQ(unstamped(result.globalLog), logText("global.log", {}));
    EXPECT_EQ(unstamped(result.memoryLog), cleanMemoryLog);

    std::filesystem::copy(VESK_DEMO_DIR, viewer.workingDirectory(), std::filesystem::copy_options::recursive);
    ASSERT_NE(startViewer([](const RgbImage& image) {
        return image.find(isLit).count > static_cast<std::size_t>(image.width()) * image.height() / 4;
    }),
        None);
    ASSERT_TRUE(display.tapKey(XK_Escape));
    result = viewer.waitForExit();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_EQ(result.globalLog.find("[ ERROR ]"), std::string::npos) << result.globalLog;
    EXPECT_EQ(unstamped(result.memoryLog), cleanMemoryLog);
}

}  // namespace
