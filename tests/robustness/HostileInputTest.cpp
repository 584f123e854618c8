#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <random>
#include <type_traits>

#include "app/CSceneNode.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CMeshData.h"
#include "engine/loaders/CObjLoader.h"
#include "engine/loaders/CPicture.h"
#include "engine/loaders/CPictureLoader.h"
#include "support/LoggedWorkDir.h"
#include "support/PrintedOutput.h"

using namespace VESK;

namespace {

// The files kept for one fuzz target: its seeds (fuzz/corpus/NAME) and the
// inputs of its findings (tests/data/fuzz/NAME), in name order.
std::vector<std::filesystem::path> fuzzInputs(const std::string& name)
{
    std::vector<std::filesystem::path> files;
    for (const std::string root : {VESK_SOURCE_DIR "/fuzz/corpus/", VESK_SOURCE_DIR "/tests/data/fuzz/"})
        if (std::filesystem::is_directory(root + name))
            for (const auto& entry : std::filesystem::directory_iterator(root + name))
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    EXPECT_FALSE(files.empty()) << name;
    return files;
}

// A logged working directory in which loads go through the loader factory.
class HostileInputTest : public LoggedWorkDir {
protected:
    void TearDown() override
    {
        CFactoryLoader::getInstance().clear();
        LoggedWorkDir::TearDown();
    }

    // Loads the file through the factory and checks the clean outcomes: a
    // record and nothing logged, or null and exactly one ERROR line, the
    // loader's "<Loader>::loadFromFile <file> [FAILED]" alone or followed by a
    // reason in parentheses. True when a record came back.
    template <typename Record>
    bool loads(const std::string& file)
    {
        const std::size_t before = logBody().size();
        const std::unique_ptr<Record> record(static_cast<Record*>(CFactoryLoader::loadFromFile(file)));
        std::vector<std::string> lines = logBody();
        lines.erase(lines.begin(), lines.begin() + std::min(before, lines.size()));
        const std::string loader = std::is_same_v<Record, CPicture> ? "CPictureLoader" : "CObjLoader";
        const std::string message = " -> [ ERROR ] VESK::" + loader + "::loadFromFile " + file + " [FAILED]";
        EXPECT_EQ(lines.size(), record ? 0u : 1u) << file;
        if (!record && lines.size() == 1) {
            EXPECT_TRUE(std::regex_match(lines[0], std::regex(timeStampPattern() + regexQuote(message) + "( \\(.+\\))?")))
                << file << ": " << lines[0].substr(0, 300);
        }
        return record != nullptr;
    }

    bool loadsMesh(const std::string& file, const std::string& text)
    {
        writeFile(file, text);
        return loads<CMeshData>(file);
    }

    std::string loadScene(const std::string& name)
    {
        return printedBy([&] { root.loadSceneGraph(name); });
    }

    CSceneNode root;
};

}  // namespace

TEST_F(HostileInputTest, ObjIndicesBeyondEveryIntegerWidthNameNoVertex)
{
    CFactoryLoader::registerLoader(new CObjLoader());
    // 2^32 + 1 and 2^64 + 1 must not wrap to 1, nor a relative index reaching
    // before the first line name anything, whichever list it indexes.
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
    for (const std::string index : {"2147483648", "4294967296", "4294967297", "18446744073709551617", "-4",
                                    "-18446744073709551617"})
        for (const std::string corners : {"f 1 2 ", "f 1/1 2/1 3/", "f 1//1 2//1 3//"})
            EXPECT_FALSE(loadsMesh("index.obj", triangle + corners + index + "\n")) << corners << index;
    // A folder in place of the MTL file leaves the triangles without material.
    std::filesystem::create_directory("folder.mtl");
    EXPECT_TRUE(loadsMesh("folder-mtl.obj", "mtllib folder.mtl\n" + triangle + "f 1 2 3\n"));
}

TEST_F(HostileInputTest, MtlLinesLongerThanAReadBlockAreReadWhole)
{
    CFactoryLoader::registerLoader(new CObjLoader());
    const std::string name(3 << 20, 'n');
    writeFile("long.mtl", "newmtl " + name + "\nKd 0 1 0\nmap_Kd " + name + ".png\n");
    writeFile("long.obj", "mtllib long.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl " + name + "\nf 1 2 3\n");
    const std::unique_ptr<CMeshData> mesh(static_cast<CMeshData*>(CFactoryLoader::loadFromFile("long.obj")));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->subMeshes.at(0).textureName, name + ".png");
}

TEST_F(HostileInputTest, EmptyShortAndRandomFilesOfEveryKindLoadOrFailCleanly)
{
    CFactoryLoader::registerLoader(new CObjLoader());
    CFactoryLoader::registerLoader(new CPictureLoader());
    std::mt19937 random(1);
    std::string junk(2048, '\0');
    for (const std::string extension : {"obj", "bmp", "dds", "jpg", "jpeg", "jpe", "png", "ppm", "tga", "pgm"}) {
        for (char& byte : junk)
            byte = static_cast<char>(random());
        for (const std::string& bytes : {std::string(), std::string("v\n"), junk}) {
            writeFile("file." + extension, bytes);
            const bool loaded = extension == "obj" ? loads<CMeshData>("file.obj") : loads<CPicture>("file." + extension);
            EXPECT_FALSE(loaded && bytes.size() < 3) << extension;
        }
    }
}

TEST_F(HostileInputTest, PngAndJpegFilesCutAtEveryLengthLoadOrFailCleanly)
{
    std::vector<std::uint8_t> bgr(8 * 8 * 3);
    for (std::size_t i = 0; i < bgr.size(); ++i)
        bgr[i] = static_cast<std::uint8_t>(i * 5);
    {
        // Written before the factory's loader exists: each loader starts and
        // stops DevIL.
        CPictureLoader writer;
        CPicture picture(CMyVector<int, 2>(8, 8), PICTURE_BGR, bgr.data());
        writer.saveToFile(&picture, "whole.png");
        writer.saveToFile(&picture, "whole.jpg");
    }
    CFactoryLoader::registerLoader(new CPictureLoader());
    for (const std::string extension : {"png", "jpg"}) {
        EXPECT_TRUE(loads<CPicture>("whole." + extension));
        const std::string bytes = readFile("whole." + extension);
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            writeFile("cut." + extension, bytes.substr(0, length));
            loads<CPicture>("cut." + extension);
        }
    }
}

TEST_F(HostileInputTest, OnlyRegularSceneFilesAreReadAndNamesKeepTheirNulBytes)
{
    // Neither a FIFO without a writer nor an endless device is opened.
    ASSERT_EQ(mkfifo("Fifo.sg", 0600), 0);
    std::filesystem::create_symlink("/dev/zero", "Zero.sg");
    std::filesystem::create_directory("Folder.sg");
    for (const std::string name : {"Fifo.sg", "Zero.sg", "Folder.sg/inside.sg"})
        EXPECT_EQ(loadScene(name), "SceneGraph file not found!\n") << name;

    const std::string nulName("Cu\0be", 5);
    writeFile("SceneGraph.sg", "Frame " + nulName + "\n");
    std::filesystem::create_symlink("SceneGraph.sg", "Link.sg");
    EXPECT_EQ(loadScene("Link.sg"), "");
    EXPECT_EQ(root.allMeshNames, std::vector<std::string>{nulName});
}

TEST_F(HostileInputTest, AMillionNestedFramesAreReadAndFreedWithoutRecursion)
{
    // The frames closed again, one closing line too many, and a sibling.
    std::string text;
    for (int i = 0; i < 1000000; ++i)
        text += "Frame A\n";
    for (int i = 0; i <= 1000000; ++i)
        text += "}\n";
    writeFile("SceneGraph.sg", text + "Frame B\n");
    // The second reading frees the first tree.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(loadScene("SceneGraph.sg"), "");
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

// Each committed input as its fuzz target feeds it.
TEST_F(HostileInputTest, CommittedFuzzInputsLoadCleanly)
{
    CFactoryLoader::registerLoader(new CObjLoader());
    CFactoryLoader::registerLoader(new CPictureLoader());
    // OBJ: the part after the line "#mtl" is fuzz.mtl.
    for (const std::filesystem::path& path : fuzzInputs("obj")) {
        const std::string bytes = readFile(path.string());
        const std::size_t split = bytes.find("\n#mtl\n");
        writeFile("fuzz.mtl", split == std::string::npos ? "" : bytes.substr(split + 6));
        loadsMesh(path.filename().string() + ".obj", bytes.substr(0, split));
    }
    // MTL: the file of a fixed OBJ file.
    for (const std::filesystem::path& path : fuzzInputs("mtl")) {
        writeFile("fuzz.mtl", readFile(path.string()));
        loadsMesh("mtl.obj", "mtllib fuzz.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n"
                             "usemtl A\nf 1/1/1 2/1/1 3/1/1\nusemtl B\nf 3 2 1\n");
    }
    // Pictures: the first byte picks the extension. Every input a finding
    // left is refused up front, in no time and memory to speak of.
    const std::string extensions[] = {"bmp", "dds", "jpg", "jpeg", "jpe", "png", "ppm", "tga", "pgm"};
    for (const std::filesystem::path& path : fuzzInputs("picture")) {
        const std::string bytes = readFile(path.string());
        if (bytes.empty())
            continue;
        const std::string file = path.filename().string() + "." + extensions[static_cast<unsigned char>(bytes[0]) % 9];
        writeFile(file, bytes.substr(1));
        EXPECT_FALSE(loads<CPicture>(file) && path.string().find("/tests/data/fuzz/") != std::string::npos) << file;
    }
    for (const std::filesystem::path& path : fuzzInputs("scene")) {
        CSceneNode scene;
        EXPECT_EQ(printedBy([&] { scene.loadSceneGraph(path.string()); }), "") << path;
    }
}
