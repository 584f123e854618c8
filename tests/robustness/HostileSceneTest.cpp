#include <sys/stat.h>

#include <cmath>

#include "HostileInput.h"
#include "app/CSceneNode.h"
#include "support/PrintedOutput.h"

namespace {

class HostileSceneTest : public TempWorkDir {
protected:
    // Reads the file into `root` and returns what the reader printed.
    std::string loadFile(const std::string& name)
    {
        return printedBy([&] { root.loadSceneGraph(name); });
    }

    std::string load(const std::string& text)
    {
        writeFile("SceneGraph.sg", text);
        return loadFile("SceneGraph.sg");
    }

    std::size_t depth() const
    {
        std::size_t levels = 0;
        for (const CSceneNode* node = &root; !node->children.empty(); node = node->children.front())
            ++levels;
        return levels;
    }

    CSceneNode root;
};

}  // namespace

TEST_F(HostileSceneTest, EmptyRandomAndMissingFilesLeaveAUsableTree)
{
    EXPECT_EQ(load(""), "");
    EXPECT_TRUE(root.children.empty());

    for (std::uint32_t seed = 1; seed <= 20; ++seed)
        EXPECT_EQ(load(HostileInput::randomBytes(4096, seed)), "") << seed;
    EXPECT_EQ(load(std::string(65536, '\0')), "");
    EXPECT_TRUE(root.children.empty());

    std::filesystem::create_directory("Folder.sg");
    EXPECT_EQ(loadFile("Folder.sg"), "SceneGraph file not found!\n");
    EXPECT_TRUE(root.children.empty());
    EXPECT_EQ(loadFile("Folder.sg/inside.sg"), "SceneGraph file not found!\n");
    // Neither a FIFO without a writer nor an endless device is opened.
    ASSERT_EQ(mkfifo("Fifo.sg", 0600), 0);
    EXPECT_EQ(loadFile("Fifo.sg"), "SceneGraph file not found!\n");
    std::filesystem::create_symlink("/dev/zero", "Zero.sg");
    EXPECT_EQ(loadFile("Zero.sg"), "SceneGraph file not found!\n");
    load("Frame A\n");
    std::filesystem::create_symlink("SceneGraph.sg", "Link.sg");
    EXPECT_EQ(loadFile("Link.sg"), "");
    EXPECT_EQ(root.allMeshNames, std::vector<std::string>{"A"});
}

TEST_F(HostileSceneTest, NamesKeepNulBytesAndLongLinesAreReadWhole)
{
    const std::string nulName("Cu\0be", 5);
    EXPECT_EQ(load("Frame " + nulName + " {\n}\nFrame " + std::string(1, '\0') + "\n"), "");
    EXPECT_EQ(root.allMeshNames, (std::vector<std::string>{nulName, std::string(1, '\0')}));

    const std::string longName(10 * 1024 * 1024, 'n');
    std::string longNumbers;
    for (int i = 0; i < 16; ++i)
        longNumbers += (i == 0 ? "" : ",") + std::string(1, '7');
    longNumbers += std::string(10 * 1024 * 1024, ',');
    EXPECT_EQ(load("Frame " + longName + "\n" + longNumbers + "\n" + std::string(10 * 1024 * 1024, ' ') + "\n"), "");
    ASSERT_EQ(root.allMeshNames.size(), 1u);
    EXPECT_EQ(root.allMeshNames[0].size(), longName.size());
    ASSERT_EQ(root.children.size(), 1u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(root.children[0]->transform[i], 7.0f) << i;
}

TEST_F(HostileSceneTest, NumbersOutOfRangeBecomeInfinitiesOrNaNs)
{
    load("Frame {\n1e999,-1e999,1e300,-nan,nan,inf,-0,1e-999,0x1p3,,;;,abc,9999999999999999999999,4,5,6,7,8\n");
    ASSERT_EQ(root.children.size(), 1u);
    const float* m = root.children[0]->transform;
    EXPECT_EQ(m[0], INFINITY);
    EXPECT_EQ(m[1], -INFINITY);
    EXPECT_EQ(m[2], INFINITY);
    EXPECT_TRUE(std::isnan(m[3]));
    EXPECT_TRUE(std::signbit(m[3]));
    EXPECT_TRUE(std::isnan(m[4]));
    EXPECT_EQ(m[5], INFINITY);
    EXPECT_EQ(m[6], 0.0f);
    EXPECT_TRUE(std::signbit(m[6]));
    EXPECT_EQ(m[7], 0.0f);
    EXPECT_EQ(m[8], 8.0f);
    EXPECT_EQ(m[9], 0.0f);
    EXPECT_EQ(m[10], 0.0f);
    EXPECT_EQ(m[11], 0.0f);
    EXPECT_EQ(m[12], 1e22f);
    EXPECT_EQ(m[15], 6.0f);
}

TEST_F(HostileSceneTest, AMillionNestedFramesAreReadAndFreedWithoutRecursion)
{
    std::string text;
    text.reserve(9 * 1000000);
    for (int i = 0; i < 1000000; ++i)
        text += "Frame {\n";
    EXPECT_EQ(load(text), "");
    EXPECT_EQ(depth(), 1000000u);

    // Named frames, unbalanced closing braces and an unclosed mesh block.
    text.clear();
    for (int i = 0; i < 1000000; ++i)
        text += "Frame A\n";
    text += std::string(2000000, '}') + "\n";
    for (int i = 0; i < 1000; ++i)
        text += "}\n";
    text += "Mesh {\nFrame B\n";
    EXPECT_EQ(load(text), "");
    EXPECT_EQ(depth(), 1000000u);
    EXPECT_EQ(root.allMeshNames, std::vector<std::string>{"A"});
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
