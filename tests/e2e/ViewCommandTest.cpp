// End-to-end tests of vesk-view: the real program lays out its scene folder,
// runs the real viewer in the real X server and is left through its window.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <array>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "XSession.h"
#include "support/ChildProcess.h"
#include "support/TempWorkDir.h"

namespace fs = std::filesystem;

namespace {

// A tower of two unit cubes, material Bottom under material Top, one unit
// wide and deep, drawn by its front and back faces (they hold every corner),
// with their normals and one texture coordinate. Its up axis is +Y, or +Z
// (then its front faces -Y); it is scaled, then moved by `offset`.
std::string towerObj(const std::string& mtlFile, bool zUp, double scale = 1.0, const std::array<double, 3>& offset = {})
{
    std::ostringstream obj;
    obj << "mtllib " << mtlFile << "\nvt 0.5 0.5\n" << (zUp ? "vn 0 -1 0\nvn 0 1 0\n" : "vn 0 0 1\nvn 0 0 -1\n");
    // Three rows of four corners, bottom to top.
    for (int i = 0; i < 12; ++i) {
        const double x = i % 2 - 0.5, up = i / 4, front = i / 2 % 2 - 0.5;
        obj << "v " << x * scale + offset[0] << ' ' << (zUp ? -front : up) * scale + offset[1] << ' '
            << (zUp ? up : front) * scale + offset[2] << '\n';
    }
    // Each cube's front face, then its back face, counter-clockwise seen from outside.
    for (const int b : {0, 4})
        obj << "usemtl " << (b == 0 ? "Bottom" : "Top") << "\nf " << b + 3 << "/1/1 " << b + 4 << "/1/1 " << b + 8
            << "/1/1 " << b + 7 << "/1/1\nf " << b + 1 << "/1/2 " << b + 5 << "/1/2 " << b + 6 << "/1/2 " << b + 2
            << "/1/2\n";
    return obj.str();
}

// vesk-view runs beside the models and materials of tests/data/e2e/view, with
// "tmp/" of its working folder as the system's temporary folder.
class ViewCommandTest : public ::testing::Test {
protected:
    ViewCommandTest()
    {
        fs::copy(VESK_E2E_DATA "/view", view.workingDirectory(), fs::copy_options::recursive);
        fs::create_directory(temporary);
        view.setEnvironment("TMPDIR", temporary.string());
    }

    ChildProcess view{VESK_VIEW_PATH};
    const fs::path temporary = view.workingDirectory() / "tmp";
    XSession session;
    RgbImage frame;
};

}  // namespace

// Each model, or the row, stands upright (red above green, or red left of
// green), centred and whole in the window, at a size that fills most of its
// height; Esc ends vesk-view with the viewer's status, the temporary scene
// folder removed, and the viewer's failures on standard error.
TEST_F(ViewCommandTest, ModelsStandUprightCentredAndWholeUntilEscRemovesTheirFolder)
{
    // Red above green: Y-up, a hundred times the demo's size, far from the
    // origin, its top textured by a picture beside its MTL file, in another
    // folder than the model; Z-up. Then a row of red and green, whose second
    // model names a picture that the viewer fails to load.
    view.writeFile("models/far.obj", towerObj("looks/far.mtl", false, 200.0, {3000, -2000, 5000}));
    view.writeFile("zup.obj", towerObj("zup.mtl", true, 1.0, {1, 2, 3}));
    view.writeFile("left.obj", towerObj("left.mtl", false));
    view.writeFile("right.obj", towerObj("right.mtl", false));
    // The arguments, whether they make a row, and the viewer's failures on
    // standard error after their time stamps.
    const std::tuple<std::vector<std::string>, bool, std::string> cases[] = {
        {{"models/far.obj"}, false, ""},
        {{"--up", "z", "zup.obj"}, false, ""},
        {{"left.obj", "right.obj"}, true, "T -> [ ERROR ] VESK::CPictureLoader::loadFromFile Data/broken.png [FAILED]\n"},
    };
    for (const auto& [arguments, row, error] : cases) {
        SCOPED_TRACE(arguments.back());
        ASSERT_TRUE(view.start(arguments));
        const Window window =
            session.waitForViewer([](const RgbImage& image) { return image.find(isLit).count > 0; }, frame);
        ASSERT_NE(window, None);
        const RgbImage::Region redPart = frame.find(isRed), greenPart = frame.find(isGreen), all = frame.find(isLit);
        if (row)
            EXPECT_LT(redPart.right, greenPart.left);
        else
            EXPECT_LE(redPart.bottom, greenPart.top + 1);
        EXPECT_NEAR(all.left + all.right, frame.width(), 4);
        EXPECT_NEAR(all.top + all.bottom, frame.height(), 4);
        EXPECT_TRUE(all.left > 0 && all.top > 0);
        EXPECT_GT(all.bottom - all.top, frame.height() * 7 / 10);

        ASSERT_TRUE(session.tapKey(XK_Escape));
        const ChildProcess::Result result = view.waitForExit();
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_TRUE(fs::is_empty(temporary));
        EXPECT_EQ(unstamped(result.standardError), error);
    }
}

// Usage errors end with the usage and 2, models that cannot be shown with the
// loader's message and 1, and neither starts the viewer or leaves a folder.
// --scene writes the folder and starts nothing: a frame per model that the
// viewer's scene reader reads back, links by the names the viewer asks for,
// and one line for each thing the viewer will not manage. a/chair.obj is a
// square without normals whose MTL file names pictures found beside it, under
// a folder, nowhere, out of the folder or with extensions the viewer skips.
// c/a b.obj's MTL files lead out of the folder or under its own link; c/{.obj,
// named "Model" (its file name is no word), is too large for the far plane,
// and its MTL file has the name that a/chair.obj's took.
TEST_F(ViewCommandTest, RunsThatStartNoViewerEndWithTheirStatusAndMessages)
{
    view.writeFile("b/chair.obj", towerObj("missing.mtl", true));
    view.writeFile("c/a b.obj", "mtllib ../out.mtl\n" + towerObj("a_b.obj/m.mtl", false));
    view.writeFile("c/{.obj", towerObj("mats/chair.mtl", true, 3000.0));
    const std::string usage = "usage: vesk-view [--up y|z] [--scene DIR] MODEL.obj...\n       vesk-view --help\n";
    const std::string failed = "VESK::CObjLoader::loadFromFile ", notObj = " [FAILED] (not a .obj file name)\n";
    const std::string extensions = ": the viewer reads only the extensions bmp dds jpg jpeg jpe png ppm tga pgm, "
                                   "in lower case; drawn untextured\n";
    const std::string folder = view.workingDirectory().string(), chairWarnings =
        "vesk-view: a/chair.obj: picture photo.JPG" + extensions + "vesk-view: a/chair.obj: picture anim.gif" + extensions
        + "vesk-view: a/chair.obj: picture anim.gif not found as a/mats/anim.gif or a/anim.gif; drawn untextured\n"
        + "vesk-view: a/chair.obj: picture gone.png not found as a/mats/gone.png or a/gone.png; drawn untextured\n"
        + "vesk-view: a/chair.obj: ../up.png leads out of the scene folder; not linked\n"
        + "vesk-view: a/chair.obj: no normals (vn); the light cannot shade it\n";
    // The arguments, the exit status and standard error.
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{}, 2, usage},
        {{"--up", "x", "good.obj"}, 2, usage},
        {{"good.obj", "--scene"}, 2, usage},
        {{"--look", "good.obj"}, 2, usage},
        {{"--up"}, 2, usage},
        {{"--scene", "", "good.obj"}, 2, usage},
        {{"--help"}, 0, ""},
        {{"missing.obj"}, 1, failed + "missing.obj [FAILED]\n"},
        {{"good.OBJ"}, 1, failed + "good.OBJ" + notObj},
        {{"good.obj", "bad.obj"}, 1, failed + "bad.obj [FAILED] (line 2: position index 2 beyond the 1 read)\n"},
        {{"infinite.obj"}, 1, "vesk-view: infinite.obj: a coordinate is not a finite number; the model cannot be placed\n"},
        {{"-"}, 1, failed + "-" + notObj},
        {{""}, 1, failed + notObj},
        {{"--", "--help"}, 1, failed + "--help" + notObj},
        {{"--scene", "full", "good.obj"}, 1, "vesk-view: full is not an empty folder\n"},
        {{"--scene", "full/file", "good.obj"}, 1, "vesk-view: full/file is not an empty folder\n"},
        {{"--scene", "full/file/sub", "good.obj"}, 1, "vesk-view: cannot create full/file/sub: Not a directory\n"},
        {{"--up", "z", "--scene", "out", "a/chair.obj", "b/chair.obj"}, 0,
            chairWarnings + "vesk-view: b/chair.obj: MTL file b/missing.mtl not found; drawn in the default material\n"},
        {{"--scene", "more", "a/chair.obj", "c/a b.obj", "c/{.obj"}, 0, chairWarnings
            + "vesk-view: c/a b.obj: ../out.mtl leads out of the scene folder; not linked\n"
            + "vesk-view: c/a b.obj: cannot link Data/a_b.obj/m.mtl: Not a directory\n"
            + "vesk-view: c/{.obj: Data/mats/chair.mtl is " + folder + "/a/mats/chair.mtl already; " + folder
            + "/c/mats/chair.mtl is not used\n"
            + "vesk-view: c/{.obj: too large to be seen whole: the viewer draws nothing beyond 10000 units\n"},
    };
    for (const auto& [arguments, status, error] : cases) {
        SCOPED_TRACE(arguments.empty() ? "no argument" : arguments.back());
        ASSERT_TRUE(view.start(arguments));
        const ChildProcess::Result result = view.waitForExit();
        EXPECT_EQ(result.exitStatus, status);
        EXPECT_EQ(result.standardError, error);
        EXPECT_EQ(result.standardOutput.rfind(usage, 0), status == 0 && error.empty() ? 0 : std::string::npos);
        EXPECT_TRUE(fs::is_empty(temporary));
    }
    for (const auto& [link, file] : std::vector<std::pair<std::string, std::string>>{{"out/Data/chair.obj", "a/chair.obj"},
             {"out/Data/chair-2.obj", "b/chair.obj"}, {"out/Data/mats/chair.mtl", "a/mats/chair.mtl"},
             {"out/Data/wood.png", "a/mats/wood.png"}, {"out/Data/photo.JPG", "a/mats/photo.JPG"},
             {"out/Data/sub/stone.png", "a/sub/stone.png"}, {"more/Data/a_b.obj", "c/a b.obj"},
             {"more/Data/Model.obj", "c/{.obj"}})
        EXPECT_EQ(fs::read_symlink(view.workingDirectory() / link), view.workingDirectory() / file) << link;

    ChildProcess inspect(VESK_INSPECT_PATH);
    ASSERT_TRUE(inspect.start({"scene", folder + "/out/SceneGraph.sg"}));
    const ChildProcess::Result scene = inspect.waitForExit();
    // Side by side, 0.28 apart (a tenth of the larger sphere's diameter), at
    // the depth where the second one's sphere touches the right of the view.
    const std::string turn = R"(,"transform":[1,0,0,0,0,1,0,0,0,0,1,0,)";
    EXPECT_EQ(scene.standardOutput, R"({"allMeshNames":["chair","chair-2"],"root":{"meshNames":[])" + turn
        + R"(0,0,0,1],"children":[{"meshNames":["chair"])" + turn + R"(-0.641421378,0,4.60005093,1],"children":[]},)"
        + R"({"meshNames":["chair-2"])" + turn + R"(1.14142132,1,4.60005093,1],"children":[]}]}})" + "\n");
    EXPECT_EQ(scene.standardError, "");

    // Without the viewer beside it, or a temporary folder, nothing is started.
    fs::copy(VESK_VIEW_PATH, view.workingDirectory() / "vesk-view");
    ChildProcess alone(view.workingDirectory() / "vesk-view");
    view.setEnvironment("TMPDIR", (view.workingDirectory() / "absent").string());
    for (auto [program, error] : {std::pair<ChildProcess*, std::string>{&alone, "vesk-viewer not found beside this program"},
             {&view, "cannot create a temporary folder"}}) {
        ASSERT_TRUE(program->start({"good.obj"}));
        const ChildProcess::Result result = program->waitForExit();
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.standardError, "vesk-view: " + error + "\n");
    }
}
