#include <memory>

#include "HostileInput.h"
#include "engine/loaders/CPicture.h"
#include "engine/loaders/CPictureLoader.h"
#include "support/PictureFiles.h"

using namespace VESK;

namespace {

const std::vector<std::string> extensions{"bmp", "dds", "jpg", "jpeg", "jpe", "png", "ppm", "tga", "pgm"};

class HostilePictureTest : public FactoryLoadTest {
protected:
    // Loads through the factory, checks the outcome is clean and frees the
    // picture; true when one was delivered.
    bool loads(const std::string& file)
    {
        std::unique_ptr<CPicture> picture(static_cast<CPicture*>(loadCleanly(file, "VESK::CPictureLoader")));
        return picture != nullptr;
    }

    // Every proper prefix of the file, each loaded on its own.
    void loadEveryTruncation(const std::string& bytes, const std::string& extension)
    {
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            const std::string file = "cut" + std::to_string(length) + "." + extension;
            writeFile(file, bytes.substr(0, length));
            loads(file);
            std::filesystem::remove(file);
        }
    }
};

}  // namespace

TEST_F(HostilePictureTest, EmptyRandomAndFolderFilesFailCleanly)
{
    CFactoryLoader::registerLoader(new CPictureLoader());
    for (const std::string& extension : extensions) {
        writeFile("empty." + extension, "");
        EXPECT_FALSE(loads("empty." + extension));
        std::filesystem::create_directory("folder." + extension);
        EXPECT_FALSE(loads("folder." + extension));
        for (std::uint32_t seed = 1; seed <= 10; ++seed) {
            const std::string file = "random" + std::to_string(seed) + "." + extension;
            writeFile(file, HostileInput::randomBytes(2048, seed));
            loads(file);
        }
    }
}

TEST_F(HostilePictureTest, HugeDeclaredSizesFailCleanly)
{
    CFactoryLoader::registerLoader(new CPictureLoader());
    std::string bmp = PictureFiles::bmp(1, 1, {1, 2, 3});
    bmp.replace(18, 8, std::string("\xff\xff\xff\x7f\xff\xff\xff\x7f", 8));
    writeFile("huge.bmp", bmp);
    std::string tga = PictureFiles::tga32(1, 1, {1, 2, 3, 4});
    tga.replace(12, 4, "\xff\x7f\xff\x7f");
    writeFile("huge.tga", tga);
    writeFile("huge.png", PictureFiles::png(1, 1, 0, 8, "\x01").replace(16, 8, "\x7f\xff\xff\xff\x7f\xff\xff\xff"));
    writeFile("huge.ppm", "P6\n4294967297 4294967297\n255\n");
    writeFile("huge.pgm", "P5\n16384 16384\n255\n" + std::string(1000, 'x'));
    writeFile("huge.jpg", std::string("\xff\xd8\xff\xc0\x00\x11\x08\xff\xff\xff\xff\x03", 12));
    std::string dds = "DDS ";
    PictureFiles::put32(dds, 124);
    PictureFiles::put32(dds, 0x801007);
    PictureFiles::put32(dds, 1024);
    PictureFiles::put32(dds, 1024);
    PictureFiles::put32(dds, 0);
    PictureFiles::put32(dds, 1024);
    dds.append(100, '\0');
    writeFile("huge.dds", dds);
    for (const std::string file : {"huge.bmp", "huge.tga", "huge.png", "huge.ppm", "huge.pgm", "huge.jpg", "huge.dds"})
        EXPECT_FALSE(loads(file)) << file;
}

TEST_F(HostilePictureTest, TruncatedPngAndJpegFilesFailOrLoadCleanlyAtEveryLength)
{
    std::vector<std::uint8_t> bgr(8 * 8 * 3);
    for (std::size_t i = 0; i < bgr.size(); ++i)
        bgr[i] = static_cast<std::uint8_t>(i * 5);
    {
        CPictureLoader writer;
        const CPicture picture(CMyVector<int, 2>(8, 8), PICTURE_BGR, bgr.data());
        writer.saveToFile(const_cast<CPicture*>(&picture), "whole.jpg");
    }
    CFactoryLoader::registerLoader(new CPictureLoader());
    const std::string png = PictureFiles::png(8, 8, 2, 8, std::string(bgr.begin(), bgr.end()));
    writeFile("whole.png", png);
    EXPECT_TRUE(loads("whole.png"));
    EXPECT_TRUE(loads("whole.jpg"));
    loadEveryTruncation(png, "png");
    loadEveryTruncation(readFile("whole.jpg"), "jpg");
}

TEST_F(HostilePictureTest, CommittedFuzzInputsLoadCleanly)
{
    CFactoryLoader::registerLoader(new CPictureLoader());
    const std::vector<std::filesystem::path> files = HostileInput::fuzzInputs("picture");
    EXPECT_FALSE(files.empty());
    // As in the fuzz target: the first byte picks the extension. Every input
    // a finding left is refused up front, in no time and memory to speak of.
    for (const std::filesystem::path& path : files) {
        const std::string bytes = readFile(path.string());
        if (bytes.empty())
            continue;
        const std::string file = path.filename().string() + "." + extensions[static_cast<unsigned char>(bytes[0]) % 9];
        writeFile(file, bytes.substr(1));
        const bool loaded = loads(file);
        EXPECT_FALSE(loaded && path.string().find("/tests/data/fuzz/") != std::string::npos) << file;
    }
}
