#include "app/CSceneNode.h"
#include "support/PrintedOutput.h"
#include "support/TempWorkDir.h"

namespace {

class SceneNodeTest : public TempWorkDir {
protected:
    // Reads the text as SceneGraph.sg into `root` and returns what the reader
    // printed on standard output.
    std::string load(const std::string& text)
    {
        writeFile("SceneGraph.sg", text);
        return loadFile("SceneGraph.sg");
    }

    std::string loadFile(const std::string& name)
    {
        return printedBy([&] { root.loadSceneGraph(name); });
    }

    CSceneNode root;
};

using Names = std::vector<std::string>;

void expectMatrix(const CSceneNode& node, const std::vector<float>& expected)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(node.transform[i], expected[i]) << "element " << i;
}

const std::vector<float> identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

}  // namespace

TEST_F(SceneNodeTest, ReadsNestedFramesMatricesAndSkippedMeshBlocks)
{
    const std::string printed = load(
        "Frame {\n"
        "  FrameTransformMatrix {\n"
        "    0.0,0.0,-1.0,0.0,0.0,1.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,0.0,0.0,1.0;;\n"
        "  }\n"
        "  Frame Cube {\n"
        "    Mesh {\n"
        "      any lines here are skipped\n"
        "      Frame Hidden {\n"
        "    }\n"
        "  }\n"
        "  Frame Cube {\n"
        "    FrameTransformMatrix {\n"
        "      1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,3.0,0.0,0.0,1.0\n"
        "    }\n"
        "  }\n"
        "}\n");
    EXPECT_EQ(printed, "");
    ASSERT_EQ(root.children.size(), 1u);
    const CSceneNode& group = *root.children[0];
    EXPECT_TRUE(group.meshNames.empty());
    EXPECT_EQ(group.parent, &root);
    expectMatrix(group, {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1});
    ASSERT_EQ(group.children.size(), 2u);
    for (const CSceneNode* cube : group.children) {
        EXPECT_EQ(cube->meshNames, Names{"Cube"});
        EXPECT_TRUE(cube->children.empty());
        EXPECT_EQ(cube->parent, &group);
    }
    expectMatrix(*group.children[0], identity);
    expectMatrix(*group.children[1], {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 0, 0, 1});
    EXPECT_EQ(root.allMeshNames, Names{"Cube"});
    EXPECT_EQ(root.current, &root);
    expectMatrix(root, identity);
}

TEST_F(SceneNodeTest, KeywordsAreExactFirstWordsAndNamesKeepFirstSeenOrder)
{
    load("\xEF\xBB\xBF"
         "Frame B\r\n"
         "}\r\n"
         "Frame\tA extra words {\n"
         "\n"
         "   \t \n"
         "}\n"
         "Frame B {\n"
         "}\n"
         "Frame\n"
         "}\n"
         "frame lower\n"
         "}}\n"
         "}\n"
         "}\n"
         "Frame{");
    ASSERT_EQ(root.children.size(), 4u);
    EXPECT_EQ(root.children[0]->meshNames, Names{"B"});
    EXPECT_EQ(root.children[1]->meshNames, Names{"A"});
    EXPECT_EQ(root.children[2]->meshNames, Names{"B"});
    EXPECT_TRUE(root.children[3]->meshNames.empty());
    EXPECT_EQ(root.allMeshNames, (Names{"B", "A"}));
    // "frame", "}}" and "Frame{" are matrix lines of the root: one number each, 0.
    EXPECT_EQ(root.transform[0], 0.0f);
    EXPECT_EQ(root.transform[1], 0.0f);
    EXPECT_EQ(root.current, &root);
}

TEST_F(SceneNodeTest, MatrixLinesReadLikeAtofAndFillAtMostSixteenElements)
{
    load("Frame Short\n"
         "2.5,-1e1,0x10,junk,  7,8\n"
         "Frame Long\n"
         "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18\n"
         "Frame Trailing\n"
         "1,0,0,0,0,1,0,0,0,0,1,0,4,5,6,1;;\n"
         "Frame Plain\n"
         "1,0,0,0,0,1,0,0,0,0,1,0,4,5,6,1 ignored,words\n");
    const CSceneNode* shortFrame = root.children[0];
    expectMatrix(*shortFrame, {2.5f, -10, 16, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    const CSceneNode* longFrame = shortFrame->children[0];
    expectMatrix(*longFrame, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    const CSceneNode* trailing = longFrame->children[0];
    const CSceneNode* plain = trailing->children[0];
    expectMatrix(*trailing, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1});
    expectMatrix(*plain, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1});
}

TEST_F(SceneNodeTest, MeshBlocksEndAtTheirFirstClosingLineOrAtTheEnd)
{
    load("Frame A\n"
         "Mesh { }\n"
         "}\n"
         "Frame B\n"
         "}\n"
         "Mesh {\n"
         "Frame C\n");
    ASSERT_EQ(root.children.size(), 1u);
    const CSceneNode& a = *root.children[0];
    EXPECT_EQ(a.meshNames, Names{"A"});
    ASSERT_EQ(a.children.size(), 1u);
    EXPECT_EQ(a.children[0]->meshNames, Names{"B"});
    EXPECT_EQ(root.allMeshNames, (Names{"A", "B"}));
}

TEST_F(SceneNodeTest, MissingEmptyAndReloadedFilesLeaveAConsistentTree)
{
    EXPECT_EQ(loadFile("SceneGraph.sg"), "SceneGraph file not found!\n");
    EXPECT_TRUE(root.children.empty());
    std::filesystem::create_directory("Folder.sg");
    EXPECT_EQ(loadFile("Folder.sg"), "SceneGraph file not found!\n");
    EXPECT_EQ(load(""), "");
    EXPECT_TRUE(root.children.empty());
    EXPECT_TRUE(root.allMeshNames.empty());

    load("Frame A\nFrame B\n");
    EXPECT_NE(root.current, &root);
    load("Frame C\n}\n");
    EXPECT_EQ(root.allMeshNames, Names{"C"});
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0]->meshNames, Names{"C"});
    EXPECT_EQ(root.current, &root);

    root.clear(nullptr);
    EXPECT_TRUE(root.children.empty());
    EXPECT_EQ(root.allMeshNames, Names{"C"});
}

TEST_F(SceneNodeTest, DeepAndWideTreesAreClearedWithoutRecursion)
{
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += i % 2 == 0 ? "Frame {\n" : "Frame Name" + std::to_string(i) + "\n";
    load(text);
    EXPECT_EQ(root.allMeshNames.size(), 100000u);
    const CSceneNode* deepest = &root;
    std::size_t depth = 0;
    while (!deepest->children.empty()) {
        deepest = deepest->children[0];
        ++depth;
    }
    EXPECT_EQ(depth, 200000u);
    EXPECT_EQ(root.current, deepest);

    root.addFrame();
    root.addMeshName("Extra");
    CSceneNode* middle = root.children[0]->children[0];
    root.clear(middle);
    EXPECT_TRUE(root.children[0]->children.empty());
    EXPECT_EQ(root.current, &root);
    root.addMeshName("AfterClear");
    EXPECT_EQ(root.meshNames, Names{"AfterClear"});
    load("");
    EXPECT_TRUE(root.children.empty());
}
