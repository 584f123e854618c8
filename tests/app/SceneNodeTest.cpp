#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "app/CSceneNode.h"
#include "support/PrintedOutput.h"
#include "support/TempWorkDir.h"

namespace {

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ",") + name;
    return text;
}

// The tree in one line: each frame as "(" names ["@" matrix] children ")",
// the matrix only when it is not the identity; "!" marks a child whose parent
// is not the frame that holds it.
std::string dump(const CSceneNode& node)
{
    static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::string text = "(" + joined(node.meshNames);
    if (!std::equal(node.transform, node.transform + 16, identity)) {
        std::ostringstream matrix;
        for (int i = 0; i < 16; ++i)
            matrix << (i == 0 ? "@" : ",") << node.transform[i];
        text += matrix.str();
    }
    for (const CSceneNode* child : node.children)
        text += (child->parent == &node ? "" : "!") + dump(*child);
    return text + ")";
}

using SceneNodeTest = TempWorkDir;

}  // namespace

TEST_F(SceneNodeTest, ReadsFramesNamesAndMatricesAsWrittenAndReloadsOrClearsConsistently)
{
    const struct {
        const char* text;
        const char* tree;
        const char* names;
    } scenes[] = {
        // Keywords are exact first words after a BOM; names keep first-seen
        // order; "frame", "}}" and "Frame{" are matrix lines of one number, 0.
        {"\xEF\xBB\xBF"
         "Frame B\r\n}\r\nFrame\tA extra words {\n\n   \t \n}\nFrame B {\n}\nFrame\n}\nframe lower\n}}\n}\n}\nFrame{",
         "(@0,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1(B)(A)(B)())", "B,A"},
        // Matrix lines read like atof and fill at most the first 16 elements.
        {"Frame Short\n2.5,-1e1,0x10,junk,  7,8\n"
         "Frame Long\n1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18\n"
         "Frame Trailing\n1,0,0,0,0,1,0,0,0,0,1,0,4,5,6,1;;\n"
         "Frame Plain\n1,0,0,0,0,1,0,0,0,0,1,0,4,5,6,1 ignored,words\n",
         "((Short@2.5,-10,16,0,0,1,0,0,0,0,1,0,0,0,0,1(Long@1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16"
         "(Trailing@1,0,0,0,0,1,0,0,0,0,1,0,4,5,6,1(Plain@1,0,0,0,0,1,0,0,0,0,1,0,4,5,6,1)))))",
         "Short,Long,Trailing,Plain"},
        // A Mesh block ends at its first closing line, or at the end.
        {"Frame A\nMesh { }\n}\nFrame B\n}\nMesh {\nFrame C\n", "((A(B)))", "A,B"},
        {"", "()", ""},
    };
    for (const auto& scene : scenes) {
        CSceneNode root;
        root.readSceneGraph(scene.text, std::strlen(scene.text));
        EXPECT_EQ(dump(root), scene.tree) << scene.text;
        EXPECT_EQ(joined(root.allMeshNames), scene.names) << scene.text;
    }

    // A second file replaces the first tree, its names and its current frame;
    // clearing a subtree takes it out of its parent, and the root becomes
    // current again when the current frame went with it.
    CSceneNode root;
    const std::string open = "Frame A\nFrame B\nFrame C\n", closed = "Frame C\n}\n";
    root.readSceneGraph(open.data(), open.size());
    root.readSceneGraph(closed.data(), closed.size());
    EXPECT_EQ(dump(root), "((C))");
    EXPECT_EQ(joined(root.allMeshNames), "C");
    EXPECT_EQ(root.current, &root);

    root.readSceneGraph(open.data(), open.size());
    root.clear(root.children[0]->children[0]);
    EXPECT_EQ(dump(root), "((A))");
    EXPECT_EQ(root.current, &root);
}

TEST_F(SceneNodeTest, SceneFilesAreReadOnlyWhenRegularAndDeepTreesWithoutRecursion)
{
    // Neither a FIFO without a writer, an endless device nor a folder is read.
    CSceneNode root;
    ASSERT_EQ(mkfifo("Fifo.sg", 0600), 0);
    std::filesystem::create_symlink("/dev/zero", "Zero.sg");
    std::filesystem::create_directory("Folder.sg");
    for (const std::string name : {"Fifo.sg", "Zero.sg", "Folder.sg", "Folder.sg/inside.sg"})
        EXPECT_EQ(printedBy([&] { root.loadSceneGraph(name); }), "SceneGraph file not found!\n") << name;
    for (const auto& entry : std::filesystem::directory_iterator(VESK_SOURCE_DIR "/fuzz/corpus/scene"))
        EXPECT_EQ(printedBy([&] { root.loadSceneGraph(entry.path()); }), "") << entry.path();

    // A million nested frames closed again, one closing line too many, and a
    // frame named with a NUL byte, through a link; read twice, so that the
    // second reading frees the first tree.
    const std::string nulName("Cu\0be", 5);
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += "Frame A\n";
    for (int i = 0; i <= 1000000; ++i)
        text += "}\n";
    writeFile("SceneGraph.sg", text + "Frame " + nulName + "\n");
    std::filesystem::create_symlink("SceneGraph.sg", "Link.sg");
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(printedBy([&] { root.loadSceneGraph("Link.sg"); }), "");
    std::size_t depth = 0;
    for (const CSceneNode* node = &root; !node->children.empty(); node = node->children.front())
        ++depth;
    EXPECT_EQ(depth, 1000000u);
    EXPECT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.allMeshNames, (std::vector<std::string>{"A", nulName}));
    root.clear(nullptr);
}
