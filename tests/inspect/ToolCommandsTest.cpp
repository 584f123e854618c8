// vesk-inspect as a real process: each run's exit status, standard output and
// standard error, exactly; it runs beside its inputs in "in/" and must write
// nothing there.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "support/ChildProcess.h"
#include "support/PictureFiles.h"

namespace {

const std::string usage = "usage: vesk-inspect mesh FILE [--summary]\n       vesk-inspect picture FILE\n"
                          "       vesk-inspect scene FILE\n       vesk-inspect --help\n"
                          "       vesk-inspect --version\n";
const std::string meshHead =
    R"({"vertexStride":32,"indexSize":4,"vertexCount":3,"indexCount":3,"elementCount":4,)"
    R"("elements":[[0,3,1,0],[12,3,2,0],[24,2,4,0],[0,0,0,0]],)";
const std::string meshArrays =
    R"("vertices":[0,0,0,0,0,1,0,-1,1,0,0,0,0,1,0,-1,0,1,0,0,0,1,0,-1],"indices":[0,1,2],)";
const std::string meshTail =
    R"("subMeshes":[{"name":"A","textureName":"\"a\\b\".png","firstIndex":0,"triangleCount":1,)"
    R"("ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[1,0.5,0,1],)"
    R"("specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10}]})" "\n";
const std::string identity = "[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1]";
const std::string node = R"({"meshNames":[],"transform":)" + identity + R"(,"children":[]})";
const std::string sceneJson =
    R"({"allMeshNames":["Cube","\"Odd\\Name\u0001"],"root":{"meshNames":[],"transform":)" + identity
    + R"(,"children":[{"meshNames":[],"transform":[-0,0.5,"inf",0,0,1,0,0,0,0,1,0,0,0,0.100000001,1],"children":[)"
    + R"({"meshNames":["Cube"],"transform":)" + identity + R"(,"children":[]},)"
    + R"({"meshNames":["\"Odd\\Name\u0001"],"transform":)" + identity + R"(,"children":[]},)"
    + R"({"meshNames":["Cube"],"transform":)" + identity + R"(,"children":[]}]}]}})" "\n";

std::string failed(const std::string& loader, const std::string& file, const std::string& reason = "")
{
    return "VESK::C" + loader + "Loader::loadFromFile in/" + file + " [FAILED]" + reason + "\n";
}

}  // namespace

TEST(ToolCommandsTest, EachCommandPrintsJsonOrTheEngineMessageWithItsStatus)
{
    ChildProcess inspect(VESK_INSPECT);
    inspect.writeFile("in/tri.obj", "mtllib tri.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 1\nvn 0 0 1\nusemtl A\n"
                                    "f 1/1/1 2/1/1 3/1/1\n");
    inspect.writeFile("in/tri.mtl", "newmtl A\nKd 1 0.5 0\nmap_Kd \"a\\b\".png\n");
    inspect.writeFile("in/bad.obj", "v 0 0 0\nf 1 1 2\n");
    inspect.writeFile("in/tri.png", "");
    inspect.writeFile("in/small.bmp", PictureFiles::bmp(3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
    inspect.writeFile("in/grey.pgm", PictureFiles::pgm(2, 1, {'a', 'b'}));
    inspect.writeFile("in/cut.bmp", PictureFiles::bmp(4, 4, std::vector<std::uint8_t>(48, 1)).substr(0, 40));
    inspect.writeFile("in/SceneGraph.sg", "Frame {\n  FrameTransformMatrix {\n    -0.0,0.5,1e39,0,0,1,0,0,0,0,1,0,0,0,0.1,1;;\n"
                                          "  }\n  Frame Cube {\n  }\n  Frame \"Odd\\Name\x01\n  }\n  Frame Cube\n}\n");
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "Frame {\n";
    inspect.writeFile("in/deep.sg", deep);

    // The arguments, the exit status, standard output and standard error.
    const std::tuple<std::vector<std::string>, int, std::string, std::string> runs[] = {
        {{"mesh", "in/tri.obj"}, 0, meshHead + meshArrays + meshTail, ""},
        {{"mesh", "in/tri.obj", "--summary"}, 0, meshHead + meshTail, ""},
        {{"mesh", "in/missing.obj"}, 1, "", failed("Obj", "missing.obj", " (No such file or directory)")},
        {{"mesh", "in/bad.obj", "--summary"}, 1, "", failed("Obj", "bad.obj", " (line 2: position index 2 beyond the 1 read)")},
        // Only the OBJ loader's extension gives a mesh; nothing else is loaded.
        {{"mesh", "in/tri.png"}, 1, "", failed("Obj", "tri.png")},
        {{"mesh", "in/tri"}, 1, "", failed("Obj", "tri")},
        {{"picture", "in/small.bmp"}, 0, R"({"width":3,"height":2,"format":0,"bytesPerPixel":3,"fnv1a64":"94033443c03943ba"})" "\n", ""},
        {{"picture", "in/grey.pgm"}, 0, R"({"width":2,"height":1,"format":2,"bytesPerPixel":1,"fnv1a64":"089c4407b545986a"})" "\n", ""},
        {{"picture", "in/missing.png"}, 1, "", failed("Picture", "missing.png")},
        {{"picture", "in/cut.bmp"}, 1, "", failed("Picture", "cut.bmp")},
        {{"picture", "in/tri.obj"}, 1, "", failed("Picture", "tri.obj")},
        {{"scene", "in/SceneGraph.sg"}, 0, sceneJson, ""},
        {{"scene", "in/absent.sg"}, 1, "", "SceneGraph file not found!\n"},
        // 100,000 nested frames inside the root: only the output's length is checked.
        {{"scene", "in/deep.sg"}, 0, "", ""},
        {{"--version"}, 0, "vesk-inspect " VESK_VERSION "\n", ""},
        {{}, 2, "", usage},
        {{"--version", "in/tri.obj"}, 2, "", usage},
        {{"mesh"}, 2, "", usage},
        {{"mesh", "in/tri.obj", "--full"}, 2, "", usage},
        {{"mesh", "in/tri.obj", "--summary", "x"}, 2, "", usage},
        {{"model", "in/tri.obj"}, 2, "", usage},
        {{"picture", "a.png", "b.png"}, 2, "", usage},
        {{"scene", "a.sg", "extra"}, 2, "", usage},
    };
    for (const auto& [arguments, status, out, err] : runs) {
        SCOPED_TRACE(arguments.empty() ? "no argument" : arguments[0] + " " + arguments.back());
        ASSERT_TRUE(inspect.start(arguments));
        const ChildProcess::Result result = inspect.waitForExit();
        EXPECT_EQ(result.exitStatus, status);
        if (status == 0 && out.empty())
            EXPECT_EQ(result.standardOutput.size(), 100001 * node.size() + std::string(R"({"allMeshNames":[],"root":})").size() + 1);
        else
            EXPECT_EQ(result.standardOutput, out);
        EXPECT_EQ(result.standardError, err);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(inspect.workingDirectory()), {}), 1);
    }

    // The message is appended to what a file opened with 2>> holds, or follows
    // standard output with 2>&1. --help goes to standard output.
    inspect.writeFile("stderr.txt", "kept\n");
    ASSERT_TRUE(inspect.start({"scene", "in/absent.sg"}));
    EXPECT_EQ(inspect.waitForExit().standardError, "kept\nSceneGraph file not found!\n");
    ASSERT_TRUE(inspect.start({"scene", "in/absent.sg"}, true));
    EXPECT_EQ(inspect.waitForExit().standardOutput, "SceneGraph file not found!\n");
    ASSERT_TRUE(inspect.start({"--help"}));
    const ChildProcess::Result help = inspect.waitForExit();
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.standardOutput.rfind(usage + "\nLoads FILE as vesk-viewer loads it", 0), 0u);
    EXPECT_NE(help.standardOutput.find("\nExit status: 0 when FILE was loaded; 1 when"), std::string::npos);
    EXPECT_EQ(help.standardError, "");
}
