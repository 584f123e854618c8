#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "debugging/CException.h"
#include "engine/loaders/CPicture.h"
#include "engine/loaders/CPictureLoader.h"
#include "engine/loaders/PictureHeader.h"
#include "engine/loaders/StringUtils.h"
#include "FailingAllocations.h"
#include "support/LoggedWorkDir.h"

using namespace VESK;
using Bytes = std::vector<std::uint8_t>;

namespace {

const std::string pictures = VESK_SOURCE_DIR "/tests/data/pictures/";

class PictureLoaderTest : public LoggedWorkDir {
protected:
    // Loads through the loader; returns null when it fails, which it must do
    // with its message.
    std::unique_ptr<CPicture> load(const std::string& file)
    {
        try {
            return std::unique_ptr<CPicture>(static_cast<CPicture*>(loader.loadFromFile(file)));
        } catch (const DEBUGGING::CException& e) {
            EXPECT_EQ(std::string(e.what()), "VESK::CPictureLoader::loadFromFile " + file + " [FAILED]");
        }
        return nullptr;
    }

    CPictureLoader loader;
};

// True when the header check lets the bytes through to DevIL under the
// extension of the file's name, as the loader reads it.
bool reachesDevIL(const std::string& bytes, const std::string& fileName)
{
    const std::string::size_type dot = fileName.rfind('.');
    const std::string extension = dot == std::string::npos ? "" : toLower(fileName.substr(dot + 1));
    const std::optional<PictureHeader> header =
        readPictureHeader(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), extension);
    return header && fitsDevIL(*header, static_cast<std::int64_t>(bytes.size()));
}

// A loaded picture in the words of tests/data/pictures/MANIFEST, with its
// pixels in hex when asked for.
std::string described(const CPicture& picture, bool withPixels)
{
    static const char* const formats[] = {"BGR", "BGRA", "grey"};
    std::ostringstream text;
    text << picture.size[0] << "x" << picture.size[1] << " " << formats[picture.format] << std::hex
         << std::setfill('0');
    const int bytesPerPixel = picture.getBytesPerPixel();
    for (std::size_t i = 0; withPixels && i < picture.getByteCount(); ++i)
        text << (i % bytesPerPixel == 0 ? " " : "") << std::setw(2) << int{picture.pixels[i]};
    return text.str();
}

}  // namespace

TEST(PictureTest, SizesMustFitA32BitInt)
{
    const std::int64_t counts[][4] = {
        {100, 50, PICTURE_BGR, 15000},     {0, 50, PICTURE_BGR, -1},
        {50, -1, PICTURE_BGR, -1},         {32768, 16384, PICTURE_BGRA, -1},
        {1LL << 31, 1, PICTURE_LUMINANCE, -1}, {32768, 65535, PICTURE_LUMINANCE, 2147450880},
        {65536, 65536, PICTURE_LUMINANCE, -1}};
    for (const auto& c : counts)
        EXPECT_EQ(CPicture::byteCountOf(c[0], c[1], static_cast<int>(c[2])), c[3]) << c[0] << "x" << c[1];
    EXPECT_THROW(CPicture(CMyVector<int, 2>(65536, 16384), PICTURE_BGR, nullptr), std::length_error);
}

// Each picture of tests/data/pictures loads, is refused before DevIL sees it,
// or fails after, as its line of MANIFEST says.
TEST_F(PictureLoaderTest, PicturesLoadAsTheirManifestSays)
{
    std::ifstream manifest(pictures + "MANIFEST");
    std::size_t rows = 0;
    for (std::string line; std::getline(manifest, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::string name = line.substr(0, line.find(' '));
        const std::string expected = line.substr(name.size() + 1);
        const std::unique_ptr<CPicture> picture = load(pictures + name);
        std::string outcome = "refused";
        if (picture)
            outcome = described(*picture, std::count(expected.begin(), expected.end(), ' ') > 1);
        else if (reachesDevIL(readFile(pictures + name), name))
            outcome = "failed";
        EXPECT_EQ(outcome, expected) << name;
        ++rows;
    }
    // Every file but MANIFEST has its line.
    EXPECT_EQ(rows + 1, static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(pictures), {})));
}

// Pictures saved through the loader, over a file of that name, load as the
// same pixels for odd and even heights, and copy as them; what cannot be
// saved fails with the loader's message.
TEST_F(PictureLoaderTest, SavedPicturesLoadAsTheyWere)
{
    Bytes counting(45);
    for (std::size_t i = 0; i < counting.size(); ++i)
        counting[i] = static_cast<std::uint8_t>(7 * i);
    const std::tuple<std::string, int, int, int> saved[] = {
        {"colour.png", 5, 3, PICTURE_BGR}, {"alpha.png", 4, 2, PICTURE_BGRA}, {"grey.tga", 2, 3, PICTURE_LUMINANCE}};
    for (const auto& [file, width, height, format] : saved) {
        CPicture picture(CMyVector<int, 2>(width, height), format, counting.data());
        writeFile(file, std::string(5000, 'x'));
        loader.saveToFile(&picture, file);
        const std::unique_ptr<CPicture> loaded = load(file);
        ASSERT_NE(loaded, nullptr) << file;
        CPicture copy(CMyVector<int, 2>(1, 1), PICTURE_BGRA, nullptr);
        copy = *loaded;
        EXPECT_EQ(described(copy, true), described(picture, true)) << file;
    }

    CPicture grey(CMyVector<int, 2>(2, 3), PICTURE_LUMINANCE, counting.data());
    CPicture unknown(CMyVector<int, 2>(2, 2), 7, nullptr);
    const std::pair<CPicture*, std::string> unsavable[] = {
        {nullptr, "null.png"}, {&unknown, "unknown.png"}, {&grey, "no/such/dir.png"}, {&grey, "picture.xyz"}};
    for (const auto& [picture, file] : unsavable) {
        try {
            loader.saveToFile(picture, file);
            ADD_FAILURE() << file;
        } catch (const DEBUGGING::CException& e) {
            EXPECT_EQ(std::string(e.what()), "VESK::CPictureLoader::saveToFile " + file + " [FAILED]");
        }
    }
    EXPECT_FALSE(std::filesystem::exists("unknown.png"));
}

// No file, a folder in place of one, and running out of memory for the
// picture fail with the loader's message.
TEST_F(PictureLoaderTest, MissingFilesFoldersAndRunningOutOfMemoryFail)
{
    writeFile("folder.png/inside", "");
    for (const std::string file : {"missing.png", "Data/missing dir/x.tga", "folder.png"})
        EXPECT_EQ(load(file), nullptr) << file;

    writeFile("large.pgm", "P5\n300 300\n255\n" + std::string(90000, 5));
    {
        const FailingAllocations failing(64 << 10, 0);
        EXPECT_EQ(load("large.pgm"), nullptr);
        EXPECT_TRUE(FailingAllocations::refusedAny());
    }
    EXPECT_NE(load("large.pgm"), nullptr);
}

// Every beginning of a PNG and a JPEG file and each committed fuzz input as
// fuzz_picture feeds it (its first byte picks the extension) load or fail with
// the loader's message; the inputs of findings are refused before DevIL.
TEST_F(PictureLoaderTest, CutAndFuzzedFilesLoadOrFailWithTheirName)
{
    Bytes bgr(8 * 8 * 3);
    for (std::size_t i = 0; i < bgr.size(); ++i)
        bgr[i] = static_cast<std::uint8_t>(i * 5);
    CPicture whole(CMyVector<int, 2>(8, 8), PICTURE_BGR, bgr.data());
    for (const std::string extension : {"png", "jpg"}) {
        loader.saveToFile(&whole, "whole." + extension);
        const std::string bytes = readFile("whole." + extension);
        for (std::size_t length = 0; length <= bytes.size(); ++length) {
            const std::string file = "cut" + std::to_string(length) + "." + extension;
            writeFile(file, bytes.substr(0, length));
            load(file);
        }
    }
    const auto extensionPickedBy = [](const std::string& input) {
        static const std::string extensions[] = {"bmp", "dds", "jpg", "jpeg", "jpe", "png", "ppm", "tga", "pgm"};
        return extensions[static_cast<unsigned char>(input.at(0)) % 9];
    };
    for (const auto& entry : std::filesystem::directory_iterator(VESK_SOURCE_DIR "/fuzz/corpus/picture")) {
        const std::string bytes = readFile(entry.path());
        const std::string file = entry.path().filename().string() + "." + extensionPickedBy(bytes);
        writeFile(file, bytes.substr(1));
        load(file);
    }
    for (const auto& entry : std::filesystem::directory_iterator(VESK_SOURCE_DIR "/tests/data/fuzz/picture")) {
        const std::string bytes = readFile(entry.path());
        const std::string file = "finding." + extensionPickedBy(bytes);
        EXPECT_FALSE(reachesDevIL(bytes.substr(1), file)) << entry.path().filename();
    }
}
