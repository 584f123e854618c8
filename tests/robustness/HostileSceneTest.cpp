#include <sys/stat.h>

#include "HostileInput.h"
#include "app/CSceneNode.h"
#include "support/PrintedOutput.h"

namespace {

class HostileSceneTest : public TempWorkDir {
protected:
    // Writes the text when given, reads the file into `root` and returns what
    // the reader printed.
    std::string load(const std::string& name, const std::string& text = "")
    {
        if (!text.empty())
            writeFile(name, text);
        return printedBy([&] { root.loadSceneGraph(name); });
    }

    CSceneNode root;
};

}  // namespace

TEST_F(HostileSceneTest, OnlyRegularFilesAreReadAndNamesKeepTheirNulBytes)
{
    // Neither a FIFO without a writer nor an endless device is opened.
    ASSERT_EQ(mkfifo("Fifo.sg", 0600), 0);
    std::filesystem::create_symlink("/dev/zero", "Zero.sg");
    std::filesystem::create_directory("Folder.sg");
    for (const std::string name : {"Fifo.sg", "Zero.sg", "Folder.sg/inside.sg"})
        EXPECT_EQ(load(name), "SceneGraph file not found!\n") << name;

    const std::string nulName("Cu\0be", 5);
    writeFile("SceneGraph.sg", "Frame " + nulName + "\n");
    std::filesystem::create_symlink("SceneGraph.sg", "Link.sg");
    EXPECT_EQ(load("Link.sg"), "");
    EXPECT_EQ(root.allMeshNames, std::vector<std::string>{nulName});
}

TEST_F(HostileSceneTest, AMillionNestedFramesAreReadAndFreedWithoutRecursion)
{
    // The frames closed again, one closing line too many, and a sibling.
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += "Frame A\n";
    for (int i = 0; i <= 1000000; ++i)
        text += "}\n";
    text += "Frame B\n";
    // The second reading frees the first tree.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(load("SceneGraph.sg", text), "");
        std::size_t depth = 0;
        for (const CSceneNode* node = &root; !node->children.empty(); node = node->children.front())
            ++depth;
        EXPECT_EQ(depth, 1000000u);
    }
    EXPECT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.allMeshNames, (std::vector<std::string>{"A", "B"}));
    root.clear(nullptr);
    EXPECT_TRUE(root.children.empty());
}

TEST(HostileSceneFuzzInputs, CommittedFuzzInputsLoadCleanly)
{
    const std::vector<std::filesystem::path> files = HostileInput::fuzzInputs("scene");
    EXPECT_FALSE(files.empty());
    for (const std::filesystem::path& file : files) {
        CSceneNode root;
        EXPECT_EQ(printedBy([&] { root.loadSceneGraph(file.string()); }), "") << file;
    }
}
