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
    EXPECT_TRUE(scene.errLines.empty());

    // The message is appended to what a file opened with 2>> holds; with 2>&1
    // it follows the JSON, or stands alone.
    writeFile("inspect-stderr.txt", "kept\n");
    const ToolOutcome missing = runTool({"scene", "absent.sg"}, ".", Errors::appended);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.errLines, (std::vector<std::string>{"kept", "SceneGraph file not found!"}));
    EXPECT_EQ(runTool({"scene", "absent.sg"}, ".", Errors::withOutput).out, "SceneGraph file not found!\n");
    EXPECT_EQ(runTool({"scene", "SceneGraph.sg"}, ".", Errors::withOutput).out, scene.out);
    const ToolOutcome usage = runTool({"scene"}, ".", Errors::appended);
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.errLines.at(2), "usage: vesk-inspect mesh FILE [--summary]");

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
