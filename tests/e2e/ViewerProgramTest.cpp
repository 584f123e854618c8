// End-to-end tests of vesk-viewer: the real program in a fresh working
// directory, the real X server, real key events and the window's real pixels.
#include "WindowChecks.h"

#include <X11/keysym.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/PreloadList.h"
#include "support/TempWorkDir.h"

namespace {

// A column-major matrix line that only translates.
std::string translation(float x, float y, float z)
{
    std::ostringstream line;
    line << "1,0,0,0,0,1,0,0,0,0,1,0," << x << ',' << y << ',' << z << ",1;;";
    return line.str();
}

std::string frame(const std::string& name, const std::string& matrixLine, const std::string& inner = "")
{
    return "Frame " + name + " {\n  FrameTransformMatrix {\n    " + matrixLine + "\n  }\n" + inner + "}\n";
}

// A cube of side 2 around the origin, faces wound counter-clockwise seen from
// outside, with face normals, in one material of the given MTL file.
std::string cubeObj(const std::string& mtlFile, const std::string& material)
{
    return "mtllib " + mtlFile + "\n"
           "v -1 -1 -1\nv -1 -1 1\nv -1 1 -1\nv -1 1 1\nv 1 -1 -1\nv 1 -1 1\nv 1 1 -1\nv 1 1 1\n"
           "vn -1 0 0\nvn 1 0 0\nvn 0 -1 0\nvn 0 1 0\nvn 0 0 -1\nvn 0 0 1\n"
           "usemtl " + material + "\n"
           "f 1//1 2//1 4//1 3//1\nf 5//2 7//2 8//2 6//2\nf 1//3 5//3 6//3 2//3\n"
           "f 3//4 4//4 8//4 7//4\nf 1//5 3//5 7//5 5//5\nf 2//6 6//6 8//6 4//6\n";
}

// A square of side 2 that faces the camera once the viewer has turned it
// upright (model +Z is up on the screen, model -Y faces the viewer), with the
// texture coordinates every exporter writes: (0, 0) bottom left, (1, 1) top right.
std::string quadObj(const std::string& mtlFile, const std::string& material)
{
    return "mtllib " + mtlFile + "\n"
           "v -1 0 -1\nv 1 0 -1\nv 1 0 1\nv -1 0 1\n"
           "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
           "vn 0 -1 0\n"
           "usemtl " + material + "\n"
           "f 1/1/1 2/2/1 3/3/1 4/4/1\n";
}

std::string material(const std::string& name, const std::string& diffuse, const std::string& texture = "")
{
    std::string text = "newmtl " + name + "\nKa 0 0 0\nKd " + diffuse + "\n";
    if (!texture.empty())
        text += "map_Kd " + texture + "\n";
    return text;
}

// A picture of four flat quadrants, given top-left, top-right, bottom-left, bottom-right.
RgbImage quadrants(const std::array<RgbImage::Pixel, 4>& colours)
{
    RgbImage picture(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            picture.set(x, y, colours[(y < 32 ? 0 : 2) + (x < 32 ? 0 : 1)]);
    return picture;
}

bool isGrey(RgbImage::Pixel p) { return p.red > 30 && std::abs(p.red - p.green) < 8 && std::abs(p.green - p.blue) < 8; }

bool centreIsRed(const RgbImage& image) { return !image.empty() && isRed(image.centre()); }

bool allBlack(const RgbImage& image)
{
    return !image.empty() && findPixels(image, isBlack).count == static_cast<std::size_t>(image.width()) * image.height();
}

// The log file is its name, a blank line, and exactly the given stamped lines
// between the start and stop lines.
void expectLog(const std::string& text, const std::string& name, std::vector<std::string> body)
{
    body.insert(body.begin(), " -> -- LOGGING START --");
    body.push_back(" -> -- LOGGING STOP --");
    const std::vector<std::string> lines = splitLines(text);
    ASSERT_EQ(lines.size(), body.size() + 2) << text;
    EXPECT_EQ(lines[0], "LOG NAME : " + name);
    EXPECT_EQ(lines[1], "");
    for (std::size_t i = 0; i < body.size(); ++i)
        EXPECT_TRUE(isStampedLine(lines[i + 2], body[i])) << name << " line " << i + 2 << ": " << lines[i + 2];
}

// "memory.log" of a run that leaves no block.
void expectCleanMemoryLog(const std::string& text)
{
    expectLog(text, "memory.log", {" -> [ INFOS ] -------------------Verification memory----------------------",
                                      " -> [ INFOS ] Memory clean", " -> [ INFOS ] " + std::string(59, '-')});
}

class ViewerProgramTest : public ::testing::Test {
protected:
    Window startViewer(const XSession::Ready& ready) { return startAndWaitForFrame(viewer, {}, session, ready, firstFrame); }

    // Escape, then the viewer's exit status, output and logs.
    ChildProcess::Result escape()
    {
        EXPECT_TRUE(session.tapKey(XK_Escape));
        return viewer.waitForExit();
    }

    // A lit red cube straight ahead of the camera.
    void writeRedCubeScene()
    {
        viewer.writeFile("SceneGraph.sg", frame("Cube", translation(0, 0, 6)));
        viewer.writeFile("Data/Cube.obj", cubeObj("Cube.mtl", "Red"));
        viewer.writeFile("Data/Cube.mtl", material("Red", "1 0 0"));
    }

    ChildProcess viewer{VESK_VIEWER_PATH};
    XSession session;
    RgbImage firstFrame;
};

// Box has two textured materials; Quad and the second Box frame reuse what is
// loaded already, so every file is loaded once, a model before its textures,
// and a backslash in a texture name reads as a folder separator. The quad in
// front shows its picture unmirrored and the right way up; Esc ends the run.
TEST_F(ViewerProgramTest, TexturedModelsLoadOnceShowTheirPicturesAndEscapeReleasesThemInOrder)
{
    viewer.writeFile("SceneGraph.sg",
        "Frame {\n" + frame("Box", translation(-2, 0, 8)) + frame("Quad", translation(0, 0, 4))
            + frame("Box", translation(0, -2, 10)) + "}\n");
    viewer.writeFile("Data/Box.obj", cubeObj("Box.mtl", "Wood") + "usemtl Metal\n");
    viewer.writeFile("Data/Box.mtl", material("Wood", "1 1 1", "wood.ppm") + material("Metal", "1 1 1", "sub\\Metal.ppm"));
    viewer.writeFile("Data/Quad.obj", quadObj("Quad.mtl", "Plain"));
    viewer.writeFile("Data/Quad.mtl", material("Plain", "1 1 1", "wood.ppm"));
    // Blue, yellow over cyan, magenta.
    const RgbImage picture = quadrants({{{0, 0, 255}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}}});
    viewer.writeFile("Data/wood.ppm", picture.ppm());
    viewer.writeFile("Data/sub/Metal.ppm", picture.ppm());

    ASSERT_NE(startViewer(anythingDrawn), None);
    // The quadrant centres lie 116 pixels from the window centre at this distance.
    const int cx = firstFrame.width() / 2, cy = firstFrame.height() / 2, d = 116;
    const auto is = [](RgbImage::Pixel p, bool red, bool green, bool blue) {
        return (red ? p.red > 150 : p.red < 60) && (green ? p.green > 150 : p.green < 60)
               && (blue ? p.blue > 150 : p.blue < 60);
    };
    EXPECT_TRUE(is(firstFrame.at(cx - d, cy - d), false, false, true));
    EXPECT_TRUE(is(firstFrame.at(cx + d, cy - d), true, true, false));
    EXPECT_TRUE(is(firstFrame.at(cx - d, cy + d), false, true, true));
    EXPECT_TRUE(is(firstFrame.at(cx + d, cy + d), true, false, true));

    const ChildProcess::Result result = escape();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "");
    expectLog(result.globalLog, "global.log",
        {
            " -> [ INFOS ] CResourceManager - LOADING : Box.obj",
            " -> [ INFOS ] CResourceManager - LOADING : wood.ppm",
            " -> [ INFOS ] CResourceManager - LOADING : sub\\Metal.ppm",
            " -> [ INFOS ] CResourceManager - LOADING : Quad.obj",
            " -> [ INFOS ] CResourceManager - RELEASE : Box.obj",
            " -> [ INFOS ] CResourceManager - RELEASE : Quad.obj",
            " -> [ INFOS ] CResourceManager - RELEASE : sub\\Metal.ppm",
            " -> [ INFOS ] CResourceManager - RELEASE : wood.ppm",
        });
    expectCleanMemoryLog(result.memoryLog);
}

TEST_F(ViewerProgramTest, MissingSceneFileGivesBlackWindowAndLoadsNothing)
{
    // A black window, and it stays black.
    const Window window = startViewer(allBlack);
    ASSERT_NE(window, None);
    EXPECT_TRUE(allBlack(session.settle(window)));
    const ChildProcess::Result result = escape();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "SceneGraph file not found!\n");
    expectLog(result.globalLog, "global.log", {});
    expectCleanMemoryLog(result.memoryLog);
}

// A missing mesh is reported every frame; a mesh under a missing material is
// drawn in the default one; a texture named like a mesh is refused, and the
// mesh later registered under that name is not taken for it.
TEST_F(ViewerProgramTest, MissingMeshMaterialOrTextureLeavesTheRestDrawn)
{
    viewer.writeFile("SceneGraph.sg", frame("Ghost", translation(0, 0, 6)) + frame("Cube", translation(0, 0, 6))
            + frame("Lost", translation(-3, 0, 8)));
    viewer.writeFile("Data/Cube.obj", cubeObj("Cube.mtl", "Red"));
    viewer.writeFile("Data/Cube.mtl", material("Red", "1 0 0", "Lost.obj"));
    viewer.writeFile("Data/Lost.obj", cubeObj("Cube.mtl", "Missing"));

    // The lost cube is drawn left of the red one, grey in the default material.
    ASSERT_NE(startViewer([](const RgbImage& image) {
        const Region grey = findPixels(image, isGrey);
        return centreIsRed(image) && grey.count > 100 && grey.right < image.width() / 2;
    }),
        None);
    const ChildProcess::Result result = escape();
    EXPECT_EQ(result.exitStatus, 0);
    const std::vector<std::string> output = splitLines(result.standardOutput);
    EXPECT_GE(output.size(), 2u);
    for (const std::string& line : output)
        EXPECT_EQ(line, "Ghost.obj not found!");
    expectLog(result.globalLog, "global.log",
        {
            " -> [ ERROR ] VESK::CObjLoader::loadFromFile Data/Ghost.obj [FAILED]",
            " -> [ ERROR ] CResourceManager - LOADING : Cube.obj",
            " -> [ ERROR ] VESK::CPictureLoader::loadFromFile Data/Lost.obj [FAILED]",
            " -> [ ERROR ] CResourceManager - LOADING : Lost.obj",
            " -> [ ERROR ] CResourceManager - RELEASE : Cube.obj",
            " -> [ ERROR ] CResourceManager - RELEASE : Lost.obj",
        });
    expectCleanMemoryLog(result.memoryLog);
}

// Each camera key moves the view of a red cube, and its opposite brings the
// first frame back; a window manager's close then runs the exit handler.
TEST_F(ViewerProgramTest, CameraKeysMoveTheViewAndTheWindowManagerClosesIt)
{
    writeRedCubeScene();
    const Window window = startViewer(centreIsRed);
    ASSERT_NE(window, None);
    const Region start = findPixels(firstFrame, isRed);
    const int width = firstFrame.width(), height = firstFrame.height();
    const struct {
        KeySym key, back;
        std::function<bool(const Region&)> moved;
    } steps[] = {
        // The scene moves right, up the screen, or away (smaller, still central).
        {XK_d, XK_q, [&](const Region& red) { return red.count > 0 && red.left > width / 2; }},
        {XK_w, XK_x, [&](const Region& red) { return red.count > 0 && red.bottom < height / 2; }},
        {XK_s, XK_z, [&](const Region& red) { return red.count < start.count && red.left > start.left && red.top > start.top; }},
        // The view turns: the cube slides sideways at its height, or up or down.
        {XK_Left, XK_Right, [&](const Region& red) { return red.left != start.left && std::abs(red.top - start.top) <= 3; }},
        {XK_Up, XK_Down, [&](const Region& red) { return red.top != start.top; }},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(session.tapKey(step.key));
        const RgbImage moved = session.waitForChange(window, firstFrame);
        EXPECT_TRUE(step.moved(findPixels(moved, isRed))) << XKeysymToString(step.key);
        ASSERT_TRUE(session.tapKey(step.back));
        EXPECT_EQ(session.waitForChange(window, moved), firstFrame) << XKeysymToString(step.back);
    }
    // An unmapped key changes nothing on screen.
    ASSERT_TRUE(session.tapKey(XK_a));
    EXPECT_EQ(session.settle(window), firstFrame);

    ASSERT_TRUE(session.closeWindow(window));
    const ChildProcess::Result result = viewer.waitForExit();
    EXPECT_EQ(result.exitStatus, 0);
    expectLog(result.globalLog, "global.log",
        {" -> [ INFOS ] CResourceManager - LOADING : Cube.obj", " -> [ INFOS ] CResourceManager - RELEASE : Cube.obj"});
    expectCleanMemoryLog(result.memoryLog);
}

// A context without what the renderer needs ends the viewer before its
// window draws, with the reason on standard output and both logs closed.
TEST_F(ViewerProgramTest, AnUnusableContextEndsWithStatus255TheReasonAndClosedLogs)
{
    writeRedCubeScene();
    viewer.setEnvironment("LD_PRELOAD", preloadListWith(VESK_HIDE_EXTENSION_LIBRARY));
    const struct {
        const char* hiddenExtension;
        const char* hideVersion;
        std::string reason;
    } cases[] = {
        {"GL_ARB_vertex_buffer_object", "0", "GL_EXTENSION ERROR : GL_ARB_vertex_buffer_object was not found!"},
        {"GL_ARB_multitexture", "0", "GL_EXTENSION ERROR : GL_ARB_multitexture was not found!"},
        {"GL_ARB_texture_env_combine", "0", "GL_EXTENSION ERROR : GL_ARB_texture_env_combine was not found!"},
        // A null extension string reads as empty text.
        {"*", "0", "GL_EXTENSION ERROR : GL_ARB_vertex_buffer_object was not found!"},
        {"GL_VESK_not_there", "1", "GLEW ERROR : Missing GL version"},
    };
    for (const auto& c : cases) {
        viewer.setEnvironment("VESK_HIDE_EXTENSION", c.hiddenExtension);
        viewer.setEnvironment("VESK_HIDE_VERSION", c.hideVersion);
        ASSERT_TRUE(viewer.start());
        const ChildProcess::Result result = viewer.waitForExit();
        EXPECT_EQ(result.exitStatus, 255) << c.reason;
        EXPECT_EQ(result.standardOutput, c.reason + "\n");
        expectLog(result.globalLog, "global.log", {});
        expectCleanMemoryLog(result.memoryLog);
    }
}

TEST_F(ViewerProgramTest, DemoSceneDrawsEveryMeshAndExitsCleanly)
{
    const std::filesystem::path demo = VESK_DEMO_DIR;
    std::filesystem::copy(demo / "SceneGraph.sg", viewer.workingDirectory() / "SceneGraph.sg");
    std::filesystem::copy(demo / "Data", viewer.workingDirectory() / "Data", std::filesystem::copy_options::recursive);

    // The floor and the objects cover a good part of the window.
    ASSERT_NE(startViewer([](const RgbImage& image) {
        return findPixels(image, [](RgbImage::Pixel p) { return !isBlack(p); }).count
               > static_cast<std::size_t>(image.width()) * image.height() / 4;
    }),
        None);
    // The README's screenshot is this picture.
    std::ofstream("demo.ppm") << firstFrame.ppm();
    const ChildProcess::Result result = escape();
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_EQ(result.globalLog.find("[ ERROR ]"), std::string::npos) << result.globalLog;
    expectCleanMemoryLog(result.memoryLog);
}

} // namespace
