#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "app/CSceneNode.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CPicture.h"
#include "engine/loaders/CPictureLoader.h"
#include "support/LoggedWorkDir.h"
#include "support/PrintedOutput.h"

using namespace VESK;

namespace {

// The files kept for one fuzz target: its seeds (fuzz/corpus/NAME) and the
// inputs of its findings (tests/data/fuzz/NAME), in name order. The OBJ and
// MTL ones are fed to the OBJ loader's tests.
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

using HostileInputTest = LoggedWorkDir;

}  // namespace

TEST_F(HostileInputTest, PicturesCutShortFuzzedOrTinyLoadOrFailCleanly)
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
    // Each file with whether it must be refused: every beginning of a PNG and
    // a JPEG file, each committed fuzz input as fuzz_picture feeds it (its
    // first byte picks the extension; the inputs of findings are refused up
    // front), and two bytes under every extension.
    std::vector<std::pair<std::string, bool>> files;
    for (const std::string extension : {"png", "jpg"}) {
        const std::string bytes = readFile("whole." + extension);
        for (std::size_t length = 0; length <= bytes.size(); ++length) {
            files.emplace_back("cut" + std::to_string(length) + "." + extension, false);
            writeFile(files.back().first, bytes.substr(0, length));
        }
    }
    const std::string extensions[] = {"bmp", "dds", "jpg", "jpeg", "jpe", "png", "ppm", "tga", "pgm"};
    for (const std::filesystem::path& path : fuzzInputs("picture")) {
        const std::string bytes = readFile(path.string());
        files.emplace_back(path.filename().string() + "." + extensions[static_cast<unsigned char>(bytes.at(0)) % 9],
                           path.string().find("/tests/data/fuzz/") != std::string::npos);
        writeFile(files.back().first, bytes.substr(1));
    }
    for (const std::string& extension : extensions) {
        files.emplace_back("short." + extension, true);
        writeFile(files.back().first, "v\n");
    }
    // A picture and nothing logged, or nothing and exactly the loader's
    // message, alone or with a reason.
    std::vector<std::string> expected;
    for (const auto& [file, refused] : files) {
        const std::unique_ptr<CPicture> picture(static_cast<CPicture*>(CFactoryLoader::loadFromFile(file)));
        EXPECT_FALSE(picture && refused) << file;
        if (!picture)
            expected.push_back(regexQuote("T -> [ ERROR ] VESK::CPictureLoader::loadFromFile " + file + " [FAILED]"));
    }
    const std::vector<std::string> lines = logBody();
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::regex line(expected[i] + "( \\(.+\\))?");
        EXPECT_TRUE(std::regex_match(lines[i], line)) << lines[i];
    }
    CFactoryLoader::getInstance().clear();
}

TEST_F(HostileInputTest, SceneFilesAreReadOnlyWhenRegularAndDeepTreesWithoutRecursion)
{
    // Neither a FIFO without a writer, an endless device nor a folder is read.
    CSceneNode root;
    ASSERT_EQ(mkfifo("Fifo.sg", 0600), 0);
    std::filesystem::create_symlink("/dev/zero", "Zero.sg");
    std::filesystem::create_directory("Folder.sg");
    for (const std::string name : {"Fifo.sg", "Zero.sg", "Folder.sg", "Folder.sg/inside.sg"})
        EXPECT_EQ(printedBy([&] { root.loadSceneGraph(name); }), "SceneGraph file not found!\n") << name;
    for (const std::filesystem::path& path : fuzzInputs("scene"))
        EXPECT_EQ(printedBy([&] { root.loadSceneGraph(path.string()); }), "") << path;

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
