// End-to-end tests of vesk-view: the real program lays out its scene folder,
// runs the real viewer in the real X server, reads its first finished frame
// back (--output) and ends it with Esc.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "Colours.h"
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

// A binary PPM file (P6, as DevIL writes it) as a picture; empty when it is none.
RgbImage readPpm(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    const std::string rgb(std::istreambuf_iterator<char>(in), {});
    const bool whole = magic == "P6" && maximum == 255 && rgb.size() == 3 * std::size_t(width) * std::size_t(height);
    return whole ? RgbImage(width, height, rgb) : RgbImage();
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
};

}  // namespace

// Each model, or the row, stands upright (red above green, or red left of
// green), centred and whole in the window, at a size that fills most of its
// height; the viewer ends with Esc, vesk-view with its status, the temporary
// scene folder removed, and what the viewer will miss said once on standard
// error.
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
    // The arguments, how the models look, the status (1 when the viewer
    // failed to load a file, the picture written all the same) and standard
    // error after time stamps.
    const std::tuple<std::vector<std::string>, Look, int, std::string> cases[] = {
        {{"models/far.obj"}, Look::upright, 0, ""},
        {{"--up", "z", "zup.obj"}, Look::upright, 0, ""},
        {{"left.obj", "right.obj"}, Look::row, 1, broken},
        {{"nan.obj", "right.obj"}, Look::row, 1,
         "vesk-view: nan.obj: some vertices have coordinates that are not finite numbers; placed by the others\n" + broken},
        {{"tex.obj"}, Look::upright, 1,
         "vesk-view: tex.obj: picture gone.png not found as gone.png; drawn untextured\n"
         "vesk-view: tex.obj: tex.mtl: the viewer cannot place pictures as the map_Kd options -o -s ask; they are left out\n"},
        {{"ball.obj"}, Look::shaded, 0, "vesk-view: ball.obj: no normals (vn); smooth normals computed\n"},
        {{"--up", "z", "ball.obj"}, Look::shaded, 0, "vesk-view: ball.obj: no normals (vn); smooth normals computed\n"},
    };
    for (const auto& [arguments, look, status, error] : cases) {
        SCOPED_TRACE(arguments.front() + " " + arguments.back());
        std::vector<std::string> words{"--output", "frame.ppm"};
        words.insert(words.end(), arguments.begin(), arguments.end());
        ASSERT_TRUE(view.start(words));
        const ChildProcess::Result result = view.waitForExit();
        EXPECT_EQ(result.exitStatus, status);
        EXPECT_TRUE(fs::is_empty(temporary));
        EXPECT_EQ(unstamped(result.standardError), error);
        const RgbImage frame = readPpm(view.workingDirectory() / "frame.ppm");
        ASSERT_FALSE(frame.empty());

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
    }
}
