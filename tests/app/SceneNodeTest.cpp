#include <algorithm>
#include <sstream>

#include "app/CSceneNode.h"
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
        writeFile("SceneGraph.sg", scene.text);
        CSceneNode root;
        root.loadSceneGraph("SceneGraph.sg");
        EXPECT_EQ(dump(root), scene.tree) << scene.text;
        EXPECT_EQ(joined(root.allMeshNames), scene.names) << scene.text;
    }

    // A second file replaces the first tree, its names and its current frame;
    // clearing a subtree takes it out of its parent, and the root becomes
    // current again when the current frame went with it.
    CSceneNode root;
    writeFile("open.sg", "Frame A\nFrame B\nFrame C\n");
    writeFile("closed.sg", "Frame C\n}\n");
    root.loadSceneGraph("open.sg");
    root.loadSceneGraph("closed.sg");
    EXPECT_EQ(dump(root), "((C))");
    EXPECT_EQ(joined(root.allMeshNames), "C");
    EXPECT_EQ(root.current, &root);

    root.loadSceneGraph("open.sg");
    root.clear(root.children[0]->children[0]);
    EXPECT_EQ(dump(root), "((A))");
    EXPECT_EQ(root.current, &root);
}
