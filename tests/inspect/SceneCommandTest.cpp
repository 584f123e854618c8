#include "ToolRun.h"
#include "support/TempWorkDir.h"

using SceneCommandTest = TempWorkDir;

namespace {

const std::string identity = "[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1]";

}  // namespace

TEST_F(SceneCommandTest, PrintsTheTreeAsJsonOrFailsWithTheReadersMessage)
{
    writeFile("SceneGraph.sg", "Frame {\n"
                               "  FrameTransformMatrix {\n"
                               "    -0.0,0.5,1e39,0,0,1,0,0,0,0,1,0,0,0,0.1,1;;\n"
                               "  }\n"
                               "  Frame Cube {\n"
                               "  }\n"
                               "  Frame \"Odd\\Name\x01\n"
                               "  }\n"
                               "  Frame Cube\n"
                               "}\n");
    const ToolOutcome scene = runTool({"scene", "SceneGraph.sg"});
    EXPECT_EQ(scene.status, 0);
    EXPECT_EQ(scene.out, R"({"allMeshNames":["Cube","\"Odd\\Name\u0001"],"root":{"meshNames":[],"transform":)" +
                             identity + R"(,"children":[{"meshNames":[],"transform":)" +
                             R"([-0,0.5,"inf",0,0,1,0,0,0,0,1,0,0,0,0.100000001,1],"children":[)" +
                             R"({"meshNames":["Cube"],"transform":)" + identity + R"(,"children":[]},)" +
                             R"({"meshNames":["\"Odd\\Name\u0001"],"transform":)" + identity + R"(,"children":[]},)" +
                             R"({"meshNames":["Cube"],"transform":)" + identity + R"(,"children":[]}]}]}})" + "\n");
    EXPECT_TRUE(scene.errLines.empty() || scene.errLines[0] == "LOG NAME : /dev/stderr");

    // Also whole when standard error is a file that the log reopens.
    for (const bool errorsToFile : {false, true}) {
        const ToolOutcome missing = runTool({"scene", "absent.sg"}, ".", errorsToFile);
        EXPECT_EQ(missing.status, 1);
        EXPECT_EQ(missing.out, "");
        ASSERT_EQ(missing.errLines.size(), 5u);
        EXPECT_EQ(missing.errLines[0], "LOG NAME : /dev/stderr");
        EXPECT_TRUE(isStampedLine(missing.errLines[3], " -> [ ERROR ] SceneGraph file not found!"))
            << missing.errLines[3];
        EXPECT_TRUE(isStampedLine(missing.errLines[4], " -> -- LOGGING STOP --")) << missing.errLines[4];
    }
    const ToolOutcome usage = runTool({"scene"}, ".", true);
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.errLines.at(0), "usage: vesk-inspect mesh FILE [--summary]");

    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "Frame {\n";
    writeFile("deep.sg", deep);
    const ToolOutcome nested = runTool({"scene", "deep.sg"});
    EXPECT_EQ(nested.status, 0);
    const std::string node = std::string(R"({"meshNames":[],"transform":,"children":[]})") + identity;
    const std::string wrapper = R"({"allMeshNames":[],"root":})";
    EXPECT_EQ(nested.out.size(), 100001 * node.size() + wrapper.size() + 1);

    EXPECT_EQ(runTool({"scene", "a.sg", "extra"}).status, 2);
}
