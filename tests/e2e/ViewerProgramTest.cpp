// End-to-end tests of vesk-viewer: the real program in a fresh working
// directory, the real X server, real key events and the window's real pixels.
#include "WindowChecks.h"

#include <X11/keysym.h>

#include <cstdlib>
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
RgbImage quadrants(RgbImage::Pixel topLeft, RgbImage::Pixel topRight, RgbImage::Pixel bottomLeft,
    RgbImage::Pixel bottomRight)
{
    RgbImage picture(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            picture.set(x, y, y < 32 ? (x < 32 ? topLeft : topRight) : (x < 32 ? bottomLeft : bottomRight));
    return picture;
}

bool isGrey(RgbImage::Pixel p) { return p.red > 30 && std::abs(p.red - p.green) < 8 && std::abs(p.green - p.blue) < 8; }

bool centreIsRed(const RgbImage& image) { return !image.empty() && isRed(image.centre()); }

bool allBlack(const RgbImage& image)
{
    return !image.empty()
           && findPixels(image, isBlack).count == static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
}

void expectHeader(const std::vector<std::string>& lines, const std::string& name)
{
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "LOG NAME : " + name);
    EXPECT_EQ(lines[1], "");
    EXPECT_TRUE(isStampedLine(lines[2], " -> -- LOGGING START --")) << lines[2];
}

// "global.log" is its header, exactly the given stamped lines, and the closing line.
void expectGlobalLog(const std::string& text, const std::vector<std::string>& body)
{
    const std::vector<std::string> lines = splitLines(text);
    expectHeader(lines, "global.log");
    ASSERT_EQ(lines.size(), body.size() + 4) << text;
    for (std::size_t i = 0; i < body.size(); ++i)
        EXPECT_TRUE(isStampedLine(lines[i + 3], body[i])) << "line " << i + 3 << ": " << lines[i + 3];
    EXPECT_TRUE(isStampedLine(lines.back(), " -> -- LOGGING STOP --")) << lines.back();
}

// "memory.log" is the seven lines of a report that finds no block.
void expectCleanMemoryLog(const std::string& text)
{
    const std::vector<std::string> lines = splitLines(text);
    ASSERT_EQ(lines.size(), 7u) << text;
    expectHeader(lines, "memory.log");
    EXPECT_TRUE(isStampedLine(lines[3], " -> [ INFOS ] -------------------Verification memory----------------------"));
    EXPECT_TRUE(isStampedLine(lines[4], " -> [ INFOS ] Memory clean"));
    EXPECT_TRUE(isStampedLine(lines[5], " -> [ INFOS ] " + std::string(59, '-')));
    EXPECT_TRUE(isStampedLine(lines[6], " -> -- LOGGING STOP --"));
}

class ViewerProgramTest : public ::testing::Test {
protected:
    Window startViewer(const std::function<bool(const RgbImage&)>& ready)
    {
        return startAndWaitForFrame(viewer, {}, false, session, ready, firstFrame);
    }

    // A lit red cube straight ahead of the camera.
    void writeRedCubeScene()
    {
        viewer.writeFile("SceneGraph.sg", frame("Cube", translation(0, 0, 6)));
        viewer.writeFile("Data/Cube.obj", cubeObj("Cube.mtl", "Red"));
        viewer.writeFile("Data/Cube.mtl", material("Red", "1 0 0"));
    }

    ViewerProcess viewer{VESK_VIEWER_PATH};
    XSession session;
    RgbImage firstFrame;
};

TEST_F(ViewerProgramTest, EscapeExitsWithZeroAfterLoadingAndReleasingInOrder)
{
    // Box has two textured materials; Quad and the second Box frame reuse what
    // is loaded already, so every file is loaded once, a model before its textures.
    viewer.writeFile("SceneGraph.sg",
        "Frame {\n" + frame("Box", translation(-2, 0, 8)) + frame("Quad", translation(2, 0, 8))
            + frame("Box", translation(0, -2, 10)) + "}\n");
    viewer.writeFile("Data/Box.obj", cubeObj("Box.mtl", "Wood") + "usemtl Metal\n");
    viewer.writeFile("Data/Box.mtl", material("Wood", "1 1 1", "wood.png") + material("Metal", "1 1 1", "Metal.png"));
    viewer.writeFile("Data/Quad.obj", quadObj("Quad.mtl", "Plain"));
    viewer.writeFile("Data/Quad.mtl", material("Plain", "1 1 1", "wood.png"));
    const RgbImage grey = quadrants({128, 128, 128}, {128, 128, 128}, {128, 128, 128}, {128, 128, 128});
    ASSERT_TRUE(grey.savePng((viewer.workingDirectory() / "Data/wood.png").string()));
    ASSERT_TRUE(grey.savePng((viewer.workingDirectory() / "Data/Metal.png").string()));

    ASSERT_NE(startViewer(anythingDrawn), None);
    ASSERT_TRUE(session.tapKey(XK_Escape));
    const ViewerProcess::Result result = viewer.waitForExit();

    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "");
    expectGlobalLog(result.globalLog,
        {
            " -> [ INFOS ] CResourceManager - LOADING : Box.obj",
            " -> [ INFOS ] CResourceManager - LOADING : wood.png",
            " -> [ INFOS ] CResourceManager - LOADING : Metal.png",
            " -> [ INFOS ] CResourceManager - LOADING : Quad.obj",
            " -> [ INFOS ] CResourceManager - RELEASE : Box.obj",
            " -> [ INFOS ] CResourceManager - RELEASE : Metal.png",
            " -> [ INFOS ] CResourceManager - RELEASE : Quad.obj",
            " -> [ INFOS ] CResourceManager - RELEASE : wood.png",
        });
    expectCleanMemoryLog(result.memoryLog);
}

TEST_F(ViewerProgramTest, MissingSceneFileGivesBlackWindowAndLoadsNothing)
{
    // A black window, and it stays black.
    const Window window = startViewer(allBlack);
    ASSERT_NE(window, None);
    EXPECT_TRUE(allBlack(session.settle(window)));
    ASSERT_TRUE(session.tapKey(XK_Escape));
    const ViewerProcess::Result result = viewer.waitForExit();

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "SceneGraph file not found!\n");
    expectGlobalLog(result.globalLog, {});
    expectCleanMemoryLog(result.memoryLog);
}

TEST_F(ViewerProgramTest, MissingMeshIsReportedEveryFrameAndAMeshUnderAMissingMaterialIsDrawn)
{
    viewer.writeFile("SceneGraph.sg", frame("Ghost", translation(0, 0, 6)) + frame("Cube", translation(0, 0, 6))
            + frame("Lost", translation(-3, 0, 8)));
    viewer.writeFile("Data/Cube.obj", cubeObj("Cube.mtl", "Red"));
    viewer.writeFile("Data/Cube.mtl", material("Red", "1 0 0"));
    viewer.writeFile("Data/Lost.obj", cubeObj("Cube.mtl", "Missing"));

    // The lost cube is drawn left of the red one, grey in the default material.
    ASSERT_NE(startViewer([](const RgbImage& image) {
        const Region grey = findPixels(image, isGrey);
        return centreIsRed(image) && grey.count > 100 && grey.right < image.width() / 2;
    }),
        None);
    ASSERT_TRUE(session.tapKey(XK_Escape));
    const ViewerProcess::Result result = viewer.waitForExit();

    EXPECT_EQ(result.exitStatus, 0);
    const std::vector<std::string> output = splitLines(result.standardOutput);
    EXPECT_GE(output.size(), 2u);
    for (const std::string& line : output)
        EXPECT_EQ(line, "Ghost.obj not found!");
    expectGlobalLog(result.globalLog,
        {
            " -> [ ERROR ] VESK::CObjLoader::loadFromFile Data/Ghost.obj [FAILED]",
            " -> [ ERROR ] CResourceManager - LOADING : Cube.obj",
            " -> [ ERROR ] CResourceManager - LOADING : Lost.obj",
            " -> [ ERROR ] CResourceManager - RELEASE : Cube.obj",
            " -> [ ERROR ] CResourceManager - RELEASE : Lost.obj",
        });
    expectCleanMemoryLog(result.memoryLog);
}

TEST_F(ViewerProgramTest, CameraKeysMoveTheViewOfARedCube)
{
    writeRedCubeScene();
    const Window window = startViewer(centreIsRed);
    ASSERT_NE(window, None);
    const Region start = findPixels(firstFrame, isRed);

    // 'd' moves the scene 2 units right: the cube leaves the centre.
    ASSERT_TRUE(session.tapKey(XK_d));
    const RgbImage right = session.waitForChange(window, firstFrame);
    EXPECT_TRUE(isBlack(right.centre()));
    const Region moved = findPixels(right, isRed);
    EXPECT_GT(moved.count, 0u);
    EXPECT_GT(moved.left, right.width() / 2);

    // 'q' brings it back; 'w' moves it up the screen.
    ASSERT_TRUE(session.tapKey(XK_q));
    EXPECT_EQ(session.waitForChange(window, right), firstFrame);
    ASSERT_TRUE(session.tapKey(XK_w));
    const RgbImage up = session.waitForChange(window, firstFrame);
    EXPECT_TRUE(isBlack(up.centre()));
    const Region raised = findPixels(up, isRed);
    EXPECT_GT(raised.count, 0u);
    EXPECT_LT(raised.bottom, up.height() / 2);

    // 'x' brings it back; 's' moves it away, so it looks smaller.
    ASSERT_TRUE(session.tapKey(XK_x));
    EXPECT_EQ(session.waitForChange(window, up), firstFrame);
    ASSERT_TRUE(session.tapKey(XK_s));
    const RgbImage far = session.waitForChange(window, firstFrame);
    const Region smaller = findPixels(far, isRed);
    EXPECT_TRUE(isRed(far.centre()));
    EXPECT_LT(smaller.count, start.count);
    EXPECT_GT(smaller.left, start.left);

    // An unmapped key changes nothing on screen.
    ASSERT_TRUE(session.tapKey(XK_a));
    EXPECT_EQ(session.settle(window), far);

    // An arrow key turns the view: the cube slides sideways and stays at its height.
    ASSERT_TRUE(session.tapKey(XK_Left));
    const RgbImage turned = session.waitForChange(window, far);
    const Region slid = findPixels(turned, isRed);
    EXPECT_NE(slid.left, smaller.left);
    EXPECT_NEAR(slid.top, smaller.top, 3);

    ASSERT_TRUE(session.tapKey(XK_Escape));
    EXPECT_EQ(viewer.waitForExit().exitStatus, 0);
}

TEST_F(ViewerProgramTest, TexturedQuadShowsItsPictureUnmirroredAndTheRightWayUp)
{
    const RgbImage::Pixel blue{0, 0, 255}, yellow{255, 255, 0}, cyan{0, 255, 255}, magenta{255, 0, 255};
    viewer.writeFile("SceneGraph.sg", frame("Quad", translation(0, 0, 4)));
    viewer.writeFile("Data/Quad.obj", quadObj("Quad.mtl", "Picture"));
    viewer.writeFile("Data/Quad.mtl", material("Picture", "1 1 1", "quadrants.png"));
    ASSERT_TRUE(quadrants(blue, yellow, cyan, magenta).savePng((viewer.workingDirectory() / "Data/quadrants.png").string()));

    ASSERT_NE(startViewer(anythingDrawn), None);
    // The quadrant centres lie 116 pixels from the window centre at this distance.
    const int cx = firstFrame.width() / 2, cy = firstFrame.height() / 2, d = 116;
    const RgbImage::Pixel topLeft = firstFrame.at(cx - d, cy - d), topRight = firstFrame.at(cx + d, cy - d);
    const RgbImage::Pixel bottomLeft = firstFrame.at(cx - d, cy + d), bottomRight = firstFrame.at(cx + d, cy + d);
    EXPECT_TRUE(topLeft.red < 60 && topLeft.green < 60 && topLeft.blue > 150);
    EXPECT_TRUE(topRight.red > 150 && topRight.green > 150 && topRight.blue < 60);
    EXPECT_TRUE(bottomLeft.red < 60 && bottomLeft.green > 150 && bottomLeft.blue > 150);
    EXPECT_TRUE(bottomRight.red > 150 && bottomRight.green < 60 && bottomRight.blue > 150);

    ASSERT_TRUE(session.tapKey(XK_Escape));
    EXPECT_EQ(viewer.waitForExit().exitStatus, 0);
}

TEST_F(ViewerProgramTest, WindowManagerCloseRunsTheExitHandler)
{
    writeRedCubeScene();
    const Window window = startViewer(centreIsRed);
    ASSERT_NE(window, None);
    ASSERT_TRUE(session.closeWindow(window));
    const ViewerProcess::Result result = viewer.waitForExit();

    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 0);
    expectGlobalLog(result.globalLog,
        {
            " -> [ INFOS ] CResourceManager - LOADING : Cube.obj",
            " -> [ INFOS ] CResourceManager - RELEASE : Cube.obj",
        });
    expectCleanMemoryLog(result.memoryLog);
}

TEST_F(ViewerProgramTest, MissingRequiredExtensionEndsWithStatus255AndClosedLogs)
{
    writeRedCubeScene();
    viewer.setEnvironment("LD_PRELOAD", preloadListWith(VESK_HIDE_EXTENSION_LIBRARY));
    viewer.setEnvironment("VESK_HIDE_EXTENSION", "GL_ARB_vertex_buffer_object");
    ASSERT_TRUE(viewer.start());
    const ViewerProcess::Result result = viewer.waitForExit();

    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_EQ(result.standardOutput, "GL_EXTENSION ERROR : GL_ARB_vertex_buffer_object was not found!\n");
    expectGlobalLog(result.globalLog, {});
    expectCleanMemoryLog(result.memoryLog);
}

TEST_F(ViewerProgramTest, DemoSceneDrawsEveryMeshAndExitsCleanly)
{
    const std::filesystem::path demo = VESK_DEMO_DIR;
    std::filesystem::copy(demo / "SceneGraph.sg", viewer.workingDirectory() / "SceneGraph.sg");
    std::filesystem::copy(demo / "Data", viewer.workingDirectory() / "Data", std::filesystem::copy_options::recursive);

    // The floor and the objects cover a good part of the window.
    ASSERT_NE(startViewer([](const RgbImage& image) {
        return findPixels(image, [](RgbImage::Pixel p) { return !isBlack(p); }).count
               > static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()) / 4;
    }),
        None);
    // The README's screenshot is this picture.
    EXPECT_TRUE(firstFrame.savePng("demo.png"));
    ASSERT_TRUE(session.tapKey(XK_Escape));
    const ViewerProcess::Result result = viewer.waitForExit();

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_EQ(result.globalLog.find("[ ERROR ]"), std::string::npos) << result.globalLog;
    expectCleanMemoryLog(result.memoryLog);
}

} // namespace
