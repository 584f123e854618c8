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
// folder removed, and what the viewer will miss said once on standard error.
TEST_F(ViewCommandTest, ModelsStandUprightCentredWholeLitAndTexturedUntilEscRemovesTheirFolder)
{
    // Red above green: Y-up, a hundred times the demo's size, far from the
    // origin, its top textured by a picture beside its MTL file, in another
    // folder than the model; Z-up. Then a row of red and green, whose second
    // model names a picture that the viewer fails to load, and a row whose
    // first model has a vertex that is not a number. A square whose picture,
    // red above green, is named with options and an extension in capitals.
    // A ball without normals, which vesk-view gives smooth ones, both ways up.
    view.writeFile("models/far.obj", towerObj("looks/far.mtl", false, 200.0, {3000, -2000, 5000}));
    view.writeFile("zup.obj", towerObj("zup.mtl", true, 1.0, {1, 2, 3}));
    view.writeFile("left.obj", towerObj("left.mtl", false));
    view.writeFile("right.obj", towerObj("right.mtl", false));
    view.writeFile("nan.obj", towerObj("left.mtl", false) + "v nan 0 0\nf 13 1 2\n");
    enum class Look { upright, row, shaded };
    const std::string broken = "T -> [ ERROR ] VESK::CPictureLoader::loadFromFile Data/broken.png [FAILED]\n";
    // The arguments, how the models look, and standard error after time stamps.
    const std::tuple<std::vector<std::string>, Look, std::string> cases[] = {
        {{"models/far.obj"}, Look::upright, ""},
        {{"--up", "z", "zup.obj"}, Look::upright, ""},
        {{"left.obj", "right.obj"}, Look::row, broken},
        {{"nan.obj", "right.obj"}, Look::row,
         "vesk-view: nan.obj: some vertices have coordinates that are not finite numbers; placed by the others\n" + broken},
        {{"tex.obj"}, Look::upright,
         "vesk-view: tex.obj: picture gone.png not found as gone.png; drawn untextured\n"
         "vesk-view: tex.obj: tex.mtl: the viewer cannot place pictures as the map_Kd options -o -s ask; they are left out\n"},
        {{"ball.obj"}, Look::shaded, "vesk-view: ball.obj: no normals (vn); smooth normals computed\n"},
        {{"--up", "z", "ball.obj"}, Look::shaded, "vesk-view: ball.obj: no normals (vn); smooth normals computed\n"},
    };
    for (const auto& [arguments, look, error] : cases) {
        SCOPED_TRACE(arguments.front() + " " + arguments.back());
        ASSERT_TRUE(view.start(arguments));
        const Window window =
            session.waitForViewer([](const RgbImage& image) { return image.find(isLit).count > 0; }, frame);
        ASSERT_NE(window, None);
        const RgbImage::Region redPart = frame.find(isRed), greenPart = frame.find(isGreen), all = frame.find(isLit);
        if (look == Look::row) {
            EXPECT_LT(redPart.right, greenPart.left);
        } else if (look == Look::upright) {
            EXPECT_LE(redPart.bottom, greenPart.top + 1);
        }
        // Lit from the front, a ball's middle is brighter than its rim.
        int darkest = 255, brightest = 0;
        frame.find([&](RgbImage::Pixel p) {
            if (isLit(p)) {
                darkest = std::min<int>(darkest, p.green);
                brightest = std::max<int>(brightest, p.green);
            }
            return false;
        });
        if (look == Look::shaded) {
            EXPECT_GT(brightest - darkest, 60);
        }
        EXPECT_NEAR(all.left + all.right, frame.width(), 4);
        EXPECT_NEAR(all.top + all.bottom, frame.height(), 4);
        // Whole: nothing lit on the window's edges (a round model shows a cut
        // there first).
        EXPECT_TRUE(all.left > 0 && all.top > 0 && all.right < frame.width() - 1 && all.bottom < frame.height() - 1);
        EXPECT_GT(all.bottom - all.top, frame.height() * 7 / 10);

        ASSERT_TRUE(session.tapKey(XK_Escape));
        const ChildProcess::Result result = view.waitForExit();
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_TRUE(fs::is_empty(temporary));
        EXPECT_EQ(unstamped(result.standardError), error);
    }
}
