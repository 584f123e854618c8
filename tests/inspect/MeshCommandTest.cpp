#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ToolRun.h"
#include "support/TempWorkDir.h"

namespace {

// Runs vesk-inspect as a child process in the empty folder "run/".
class MeshCommandTest : public TempWorkDir {
protected:
    void SetUp() override
    {
        TempWorkDir::SetUp();
        std::filesystem::create_directories("run");
        writeFile("in/tri.obj", "mtllib tri.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 1\nvn 0 0 1\nusemtl A\n"
                                "f 1/1/1 2/1/1 3/1/1\n");
        writeFile("in/tri.mtl", "newmtl A\nKd 1 0.5 0\nmap_Kd \"a\\b\".png\n");
    }

    void TearDown() override
    {
        EXPECT_TRUE(std::filesystem::is_empty("run")) << "vesk-inspect wrote into its working directory";
        TempWorkDir::TearDown();
    }

    static ToolOutcome run(const std::vector<std::string>& arguments)
    {
        return runTool(arguments, "run");
    }
};

const std::string head = R"({"vertexStride":32,"indexSize":4,"vertexCount":3,"indexCount":3,"elementCount":4,)"
                         R"("elements":[[0,3,1,0],[12,3,2,0],[24,2,4,0],[0,0,0,0]],)";
const std::string arrays = R"("vertices":[0,0,0,0,0,1,0,-1,1,0,0,0,0,1,0,-1,0,1,0,0,0,1,0,-1],"indices":[0,1,2],)";
const std::string tail = R"("subMeshes":[{"name":"A","textureName":"\"a\\b\".png","firstIndex":0,"triangleCount":1,)"
                         R"("ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[1,0.5,0,1],)"
                         R"("specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10}]})"
                         "\n";

}  // namespace

TEST_F(MeshCommandTest, PrintsTheLoadedMeshAsJson)
{
    const ToolOutcome full = run({"mesh", "../in/tri.obj"});
    EXPECT_EQ(full.status, 0);
    EXPECT_EQ(full.out, head + arrays + tail);
    EXPECT_TRUE(full.errLines.empty());

    const ToolOutcome summary = run({"mesh", "../in/tri.obj", "--summary"});
    EXPECT_EQ(summary.status, 0);
    EXPECT_EQ(summary.out, head + tail);
}

TEST_F(MeshCommandTest, FailedLoadsExitWithOneAndTheEngineMessage)
{
    const ToolOutcome missing = run({"mesh", "../in/missing.obj"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.errLines, std::vector<std::string>{"VESK::CObjLoader::loadFromFile ../in/missing.obj [FAILED]"});

    writeFile("in/bad.obj", "v 0 0 0\nf 1 1 2\n");
    const ToolOutcome bad = run({"mesh", "../in/bad.obj", "--summary"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.errLines, std::vector<std::string>{"VESK::CObjLoader::loadFromFile ../in/bad.obj [FAILED] "
                                                     "(line 2: position index 2 beyond the 1 read)"});

    // Only the OBJ loader's extension gives a mesh; nothing else is loaded.
    writeFile("in/tri.png", "");
    for (const std::string file : {"../in/tri.png", "../in/tri.OBJ", "../in/tri"}) {
        const ToolOutcome other = run({"mesh", file});
        EXPECT_EQ(other.status, 1);
        EXPECT_EQ(other.out, "");
        EXPECT_EQ(other.errLines, std::vector<std::string>{"VESK::CObjLoader::loadFromFile " + file + " [FAILED]"});
    }
}

TEST_F(MeshCommandTest, UsageErrorsExitWithTwo)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"mesh"}, {"mesh", "../in/tri.obj", "--full"}, {"mesh", "../in/tri.obj", "--summary", "x"},
             {"model", "../in/tri.obj"}}) {
        const ToolOutcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 2) << arguments.size();
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(std::find(outcome.errLines.begin(), outcome.errLines.end(),
                            "usage: vesk-inspect mesh FILE [--summary]"),
                  outcome.errLines.end());
    }
    const ToolOutcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: vesk-inspect mesh FILE [--summary]\n", 0), 0u);
    EXPECT_NE(help.out.find("\nExit status: 0 when FILE was loaded; 1 when"), std::string::npos);
    EXPECT_TRUE(help.errLines.empty());
}
