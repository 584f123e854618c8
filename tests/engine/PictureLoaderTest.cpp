#include <IL/il.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "debugging/CException.h"
#include "engine/loaders/CPicture.h"
#include "engine/loaders/CPictureLoader.h"
#include "engine/loaders/PictureHeader.h"
#include "FailingAllocations.h"
#include "support/LoggedWorkDir.h"
#include "support/PictureFiles.h"

using namespace VESK;
using Bytes = std::vector<std::uint8_t>;

namespace {

class PictureLoaderTest : public LoggedWorkDir {
protected:
    // Loads through the loader, or returns null and keeps the failure's message.
    std::unique_ptr<CPicture> load(const std::string& file)
    {
        std::unique_ptr<CPicture> picture;
        message = failureOf([&] { picture.reset(static_cast<CPicture*>(loader.loadFromFile(file))); });
        return picture;
    }

    // The message of the loader's exception from the call, or "" without one.
    template <class Call>
    static std::string failureOf(Call call)
    {
        try {
            call();
        } catch (const DEBUGGING::CException& e) {
            return e.what();
        }
        return "";
    }

    // One row of samples as a PNG written by DevIL itself, for the sample
    // kinds saveToFile does not write (the loader has initialised DevIL).
    static std::string pngByDevIL(int width, int channels, ILenum format, ILenum type, const void* samples)
    {
        ILuint image = 0;
        ilGenImages(1, &image);
        ilBindImage(image);
        // DevIL takes the channel count here and the sample size from the type.
        ilTexImage(width, 1, 1, static_cast<ILubyte>(channels), format, type, const_cast<void*>(samples));
        ilSave(IL_PNG, "devil.png");
        ilDeleteImages(1, &image);
        return readFile("devil.png");
    }

    CPictureLoader loader;
    std::string message;
};

const std::uint8_t greyAlpha[] = {0x10, 0x80, 0x20, 0xff};
const std::uint16_t deep[] = {0x1234, 0x5678, 0x9abc, 0xdef0, 0x1122, 0x3344};

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

// Files the tests write byte by byte, files DevIL writes, and pictures saved
// through the loader (over a file of that name) all load as the same pixels,
// and copy as them.
TEST_F(PictureLoaderTest, FilesArriveTopRowFirstOneBytePerChannel)
{
    struct Case {
        std::string file;
        std::string bytes;
        int width;
        int format;
        Bytes pixels;
    };
    const Bytes blueGreenRed{255, 0, 0, 0, 255, 0, 0, 0, 255};
    std::string runLengthBmp = PictureFiles::bmp(3, 2, Bytes(6), blueGreenRed).substr(0, 66);
    runLengthBmp[30] = 1;
    // Bottom row 2 1 0 as three raw indices and a pad byte, end of line; top
    // row 0 1 2 as runs of one, end of bitmap.
    runLengthBmp += std::string("\x00\x03\x02\x01\x00\x00\x00\x00\x01\x00\x01\x01\x01\x02\x00\x01", 16);
    Bytes counting(60);
    for (std::size_t i = 0; i < counting.size(); ++i)
        counting[i] = static_cast<std::uint8_t>(7 * i);
    const auto first = [&counting](std::size_t n) { return Bytes(counting.begin(), counting.begin() + n); };
    const Case cases[] = {
        // 3 x 2 BGR: rows of 9 bytes, padded to 12 in the file.
        {"rgb.bmp", PictureFiles::bmp(3, 2, first(18)), 3, PICTURE_BGR, first(18)},
        {"rgba.tga", PictureFiles::tga(2, 2, 2, 32, std::string(counting.begin(), counting.begin() + 16)), 2,
         PICTURE_BGRA, first(16)},
        {"grey.pgm", PictureFiles::pgm(3, 2, first(6)), 3, PICTURE_LUMINANCE, first(6)},
        {"rgb.ppm", "P6\n2 1\n255\n\x01\x02\x03\x04\x05\x06", 2, PICTURE_BGR, {3, 2, 1, 6, 5, 4}},
        // Grey and alpha becomes BGR without the alpha.
        {"greyalpha.png", pngByDevIL(2, 2, IL_LUMINANCE_ALPHA, IL_UNSIGNED_BYTE, greyAlpha), 2, PICTURE_BGR,
         {16, 16, 16, 32, 32, 32}},
        // 16-bit samples keep their high byte and their layout.
        {"deep.png", pngByDevIL(2, 3, IL_RGB, IL_UNSIGNED_SHORT, deep), 2, PICTURE_BGR,
         {0x9a, 0x56, 0x12, 0x33, 0x11, 0xde}},
        {"deepalpha.png", pngByDevIL(1, 4, IL_RGBA, IL_UNSIGNED_SHORT, deep), 1, PICTURE_BGRA,
         {0x9a, 0x56, 0x12, 0xde}},
        // Palette images become colour, with alpha when the palette has some.
        {"palette.bmp", PictureFiles::bmp(3, 2, {0, 1, 2, 2, 1, 0}, blueGreenRed), 3, PICTURE_BGR,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0}},
        {"runlength.bmp", runLengthBmp, 3, PICTURE_BGR, {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0}},
        // Run-length packets of indices into a map with alpha: a run of two, then one raw pixel.
        {"runlength.tga", PictureFiles::tga(9, 3, 1, 8, std::string("\x81\x01\x00\x00", 4), "\x0a\x14\x1e\x28\x32\x3c\x46\x50", 32),
         3, PICTURE_BGRA, {50, 60, 70, 80, 50, 60, 70, 80, 10, 20, 30, 40}},
        // Saved: the rows are turned over on the way to DevIL, for odd and even heights.
        {"colour.png", "", 5, PICTURE_BGR, first(45)},
        {"alpha.png", "", 4, PICTURE_BGRA, first(32)},
        {"grey.tga", "", 2, PICTURE_LUMINANCE, first(6)},
    };
    for (const Case& c : cases) {
        const int height = static_cast<int>(c.pixels.size()) / c.width / CPicture::bytesPerPixelOf(c.format);
        writeFile(c.file, c.bytes.empty() ? std::string(5000, 'x') : c.bytes);
        if (c.bytes.empty()) {
            CPicture saved(CMyVector<int, 2>(c.width, height), c.format, c.pixels.data());
            EXPECT_EQ(failureOf([&] { loader.saveToFile(&saved, c.file); }), "");
        }
        std::unique_ptr<CPicture> picture = load(c.file);
        ASSERT_NE(picture, nullptr) << c.file << ": " << message;
        EXPECT_EQ(std::tuple(picture->size[0], picture->size[1], picture->format), std::tuple(c.width, height, c.format))
            << c.file;
        EXPECT_EQ(Bytes(picture->pixels, picture->pixels + picture->getByteCount()), c.pixels) << c.file;
        // A copy owns its pixels: both are freed once the test moves on.
        CPicture copy(CMyVector<int, 2>(1, 1), PICTURE_BGRA, nullptr);
        copy = *picture;
        EXPECT_EQ(Bytes(copy.pixels, copy.pixels + copy.getByteCount()), c.pixels) << c.file;
    }

    CPicture grey(CMyVector<int, 2>(2, 3), PICTURE_LUMINANCE, counting.data());
    CPicture unknown(CMyVector<int, 2>(2, 2), 7, nullptr);
    const std::pair<CPicture*, std::string> unsavable[] = {
        {nullptr, "null.png"}, {&unknown, "unknown.png"}, {&grey, "no/such/dir.png"}, {&grey, "picture.xyz"}};
    for (const auto& entry : unsavable)
        EXPECT_EQ(failureOf([&] { loader.saveToFile(entry.first, entry.second); }),
                  "VESK::CPictureLoader::saveToFile " + entry.second + " [FAILED]");
    EXPECT_FALSE(std::filesystem::exists("unknown.png"));
}

TEST_F(PictureLoaderTest, UnusableFilesAndRunningOutOfMemoryFailWithTheirName)
{
    const std::string bmp = PictureFiles::bmp(4, 4, Bytes(48, 7));
    const std::string tga = PictureFiles::tga(2, 4, 4, 32, std::string(64, 9));
    const std::string png = pngByDevIL(2, 2, IL_LUMINANCE_ALPHA, IL_UNSIGNED_BYTE, greyAlpha);
    std::string dds = "DDS ";
    for (const std::uint32_t value : {124, 0x1007, 65536, 65536})
        PictureFiles::put32(dds, value);
    const std::pair<std::string, std::string> files[] = {
        // Each of these headers makes DevIL's 32-bit sizes wrap; DevIL then
        // crashes (BMP, TGA), frees twice (PPM) or takes the size as 0.
        {"huge.bmp", std::string(bmp).replace(18, 8, std::string("\x00\x00\x01\x00\x00\x00\x01\x00", 8))},
        {"huge.tga", std::string(tga).replace(12, 4, "\xff\xff\xff\xff")},
        {"wrapping.ppm", std::string("P6\n1431655766 1\n255\n\0\0\0", 23)}, {"huge.pgm", "P5\n65536 65536\n255\n"},
        {"endless.pgm", "P5\n99999999999999999999999999 1\n255\n"},
        {"huge.PNG", std::string(png).replace(16, 8, std::string("\x00\x01\x00\x00\x00\x01\x00\x00", 8))},
        {"huge.dds", dds + std::string(108, '\0')},
        {"huge.jpg", std::string("\xff\xd8\xff\xe0\x00\x04\x00\x00\xff\xff\xc0\x00\x11\x08\xff\xdc\xff\xdc\x03", 19)},
        {"empty.bmp", PictureFiles::bmp(0, 0, {})}, {"wide.pgm", "P5\n16385 1\n255\n" + std::string(16385, 'x')},
        {"tall.pgm", "P5\n1 16385\n255\n" + std::string(16385, 'x')},
        // Files shorter than their declared pixels.
        {"short.bmp", bmp.substr(0, bmp.size() - 1)}, {"short.tga", tga.substr(0, tga.size() - 1)},
        {"short.png", png.substr(0, 60)}, {"short.ppm", "P6\n2 2\n255\n" + std::string(11, 'x')},
        {"short.pgm", "P5\n2 2\n255\n" + std::string(3, ' ')},
        // An index past the colour map: DevIL would read past its palette.
        {"outside.tga", PictureFiles::tga(1, 2, 1, 8, std::string("\x01\x03", 2), std::string(9, 'm'), 24)},
        // No extension: DevIL is never asked to guess.
        {"noextension", PictureFiles::pgm(2, 2, {1, 2, 3, 4})},
        // Nothing written: no file, or a folder.
        {"missing.png", ""}, {"Data/missing dir/x.tga", ""}, {"folder.png", ""},
    };
    writeFile("folder.png/inside", "");
    for (const auto& [file, bytes] : files) {
        if (!bytes.empty())
            writeFile(file, bytes);
        EXPECT_EQ(load(file), nullptr) << file;
        EXPECT_EQ(message, "VESK::CPictureLoader::loadFromFile " + file + " [FAILED]");
    }

    // Running out of memory for the picture fails the same way.
    writeFile("large.pgm", PictureFiles::pgm(300, 300, Bytes(90000, 5)));
    {
        const FailingAllocations failing(64 << 10, 0);
        EXPECT_EQ(load("large.pgm"), nullptr);
        EXPECT_TRUE(FailingAllocations::refusedAny());
    }
    EXPECT_EQ(message, "VESK::CPictureLoader::loadFromFile large.pgm [FAILED]");
    EXPECT_NE(load("large.pgm"), nullptr);
}

// Every beginning of a PNG and a JPEG file, each committed fuzz input as
// fuzz_picture feeds it (its first byte picks the extension; the inputs of
// findings must be refused up front) and two bytes under every extension load,
// or fail with the loader's message.
TEST_F(PictureLoaderTest, CutFuzzedAndTinyFilesLoadOrFailWithTheirName)
{
    Bytes bgr(8 * 8 * 3);
    for (std::size_t i = 0; i < bgr.size(); ++i)
        bgr[i] = static_cast<std::uint8_t>(i * 5);
    CPicture whole(CMyVector<int, 2>(8, 8), PICTURE_BGR, bgr.data());
    std::vector<std::pair<std::string, bool>> files;  // each file, and whether it must be refused
    for (const std::string extension : {"png", "jpg"}) {
        loader.saveToFile(&whole, "whole." + extension);
        const std::string bytes = readFile("whole." + extension);
        for (std::size_t length = 0; length <= bytes.size(); ++length) {
            files.emplace_back("cut" + std::to_string(length) + "." + extension, false);
            writeFile(files.back().first, bytes.substr(0, length));
        }
    }
    const std::string extensions[] = {"bmp", "dds", "jpg", "jpeg", "jpe", "png", "ppm", "tga", "pgm"};
    for (const std::string folder : {"/fuzz/corpus/picture", "/tests/data/fuzz/picture"})
        for (const auto& entry : std::filesystem::directory_iterator(VESK_SOURCE_DIR + folder)) {
            const std::string bytes = readFile(entry.path());
            const std::string extension = extensions[static_cast<unsigned char>(bytes.at(0)) % 9];
            files.emplace_back(entry.path().filename().string() + "." + extension, folder[1] == 't');
            writeFile(files.back().first, bytes.substr(1));
        }
    for (const std::string& extension : extensions) {
        files.emplace_back("short." + extension, true);
        writeFile(files.back().first, "v\n");
    }
    for (const auto& [file, refused] : files) {
        const std::unique_ptr<CPicture> picture = load(file);
        EXPECT_TRUE(picture ? !refused : message == "VESK::CPictureLoader::loadFromFile " + file + " [FAILED]")
            << file << ": " << message;
    }
}

TEST(PictureHeaderTest, DeclaredSizesAreReadPerFormat)
{
    // A copy of the bytes with a little-endian value of 4 (or size) bytes at an offset.
    auto with = [](std::string bytes, std::size_t at, std::uint32_t value, std::size_t size = 4) {
        std::string little;
        PictureFiles::put32(little, value);
        return bytes.replace(at, size, little, 0, size);
    };
    const std::string bmp = PictureFiles::bmp(3, 2, Bytes(18));
    const std::string palette = PictureFiles::bmp(3, 2, Bytes(6), Bytes(3 * 256));
    const std::string runLength = with(palette, 30, 1, 1);
    const std::string tga = PictureFiles::tga(2, 5, 7, 32, std::string(140, 0));
    const std::string map(9, 'm');
    const std::string mapped = PictureFiles::tga(1, 2, 1, 8, "ab", map, 24);
    const std::string packets("\x81\x01\x02\x03\x00\x04\x05\x06", 8);
    // A 9 x 4 grey PNG as the check walks it: IHDR, 51 bytes of image data and
    // IEND (nothing reads the CRCs here).
    const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x09\0\0\0\x04\x08\0\0\0\0crc!", 33)
        + std::string("\0\0\0\x33IDAT", 8) + std::string(51, 'd') + std::string("crc!\0\0\0\0IENDcrc!", 16);
    // APP0, a fill byte, a progressive frame of 320 x 32 in units of 16 x 16, a scan.
    const std::string jpeg("\xff\xd8\xff\xe0\x00\x06JFIF\xff\xff\xc2\x00\x11\x08\x00\x20\x01\x40\x03\x01\x22\x00\x02\x11\x01"
                           "\x03\x11\x01\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00", 40);
    // A 5 x 4 DDS in DXT1 (two blocks of 8 bytes) with three mipmap levels.
    std::string dds = "DDS " + std::string(124, '\0');
    for (const auto& [at, value] : {std::pair{4, 124}, {8, 0x81007}, {12, 4}, {16, 5}, {20, 16}, {28, 3}, {76, 32}, {80, 0x4}})
        dds = with(dds, at, value);
    dds.replace(84, 4, "DXT1");
    const std::string dxt5 = with(with(dds, 87, '5', 1), 20, 0);
    const std::string plain = with(with(with(with(dds, 8, 0x100f), 20, 20), 80, 0x41), 88, 32);
    const auto declared = [](const std::string& bytes, const std::string& extension) {
        const std::optional<PictureHeader> header =
            readPictureHeader(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), extension);
        return header ? std::to_string(header->width) + "x" + std::to_string(header->height) + " in "
                            + std::to_string(header->minimumFileSize)
                      : std::string("none");
    };

    // Extension, then files and what their headers declare.
    const std::pair<std::string, std::vector<std::pair<std::string, std::string>>> accepted[] = {
        // A colour table of 256 entries must be in the file before the pixels;
        // in run lengths, two bytes make at most 255 pixels.
        {"bmp", {{bmp, "3x2 in 78"}, {with(bmp, 22, 0xfffffffe), "3x2 in 78"}, {palette, "3x2 in 1086"},
                 {with(palette, 10, 0), "3x2 in 1078"}, {runLength, "3x2 in 1080"},
                 {with(with(runLength, 18, 16384), 22, 16384), "16384x16384 in 2106456"}}},
        // One packet of 1 + 3 bytes makes at most 128 pixels, and every packet must be in the file.
        {"tga", {{tga, "5x7 in 158"}, {mapped, "2x1 in 29"}, {PictureFiles::tga(10, 3, 1, 24, packets), "3x1 in 26"},
                 {PictureFiles::tga(10, 3, 1, 24, packets.substr(0, 7)), "3x1 in 26"},
                 {PictureFiles::tga(10, 16384, 16384, 24, ""), "16384x16384 in 8388626"},
                 {PictureFiles::tga(9, 300, 1, 8, std::string("\xff\x01", 2), map, 24), "300x1 in 33"}}},
        // Deflate makes at most 1032 bytes of one.
        {"png", {{png, "9x4 in 54"}, {with(with(png, 16, 0x400000), 20, 0x400000), "16384x16384 in 260165"}}},
        {"ppm", {{"P6 2 3 255\n", "2x3 in 29"}}},
        // Words as DevIL reads them: a tab is dropped, not a separator, and the
        // pixels start right after the byte that ends the largest value.
        {"pgm", {{"P5 # a comment\n  12\n# another\n 34 255\n", "12x34 in 446"}, {"P5\n2\t1 3 255  ", "21x3 in 76"}}},
        // One bit of coded data per unit, from the scan on.
        {"jpe", {{jpeg, "320x32 in 45"}}},
        // Plain 32-bit BGRA: 80 bytes of pixels.
        {"dds", {{dds, "5x4 in 144"}, {dxt5, "5x4 in 160"}, {plain, "5x4 in 208"}}},
    };
    for (const auto& [extension, files] : accepted)
        for (const auto& [bytes, header] : files)
            EXPECT_EQ(declared(bytes, extension), header) << extension;

    const std::pair<std::string, std::vector<std::string>> refused[] = {
        // Magic bytes and fixed fields must match the extension. Run lengths
        // of 8 bits for RLE8, 4 for RLE4, colour masks of 16 or 32; at most
        // 256 colours.
        {"bmp", {"BZ", tga, with(bmp, 30, 1, 1), with(palette, 30, 2, 1), with(bmp, 30, 3, 1), with(bmp, 30, 4, 1),
                 with(palette, 46, 257), with(palette, 46, 0xffd8ff02)}},
        // Colour maps: only for colour-mapped images, of 1 to 256 entries of
        // 24 or 32 bits, for indices of 8 bits.
        {"tga", {bmp, with(tga, 2, 4, 1), with(tga, 16, 31, 1), with(tga, 2, 1, 1),
                 PictureFiles::tga(2, 2, 1, 24, "abcdef", map, 24),
                 PictureFiles::tga(1, 2, 1, 8, "ab", map.substr(0, 6), 16),
                 PictureFiles::tga(1, 2, 1, 16, "abcd", map, 24), with(mapped, 1, 2, 1),
                 with(with(mapped, 5, 1, 1), 6, 1, 1), with(PictureFiles::tga(9, 2, 1, 8, "ab", map, 24), 5, 0, 1)}},
        // Every PNG chunk must lie inside the file, up to IEND.
        {"png", {"\x88" + png.substr(1), png.substr(0, png.size() - 12), png.substr(0, png.size() - 13),
                 std::string(png).replace(33, 4, std::string("\x00\x08\x00\x3f", 4)), with(png, 25, 5, 1)}},
        // Text samples and two-byte samples are not let through to DevIL.
        {"ppm", {PictureFiles::pgm(1, 1, {0}), "P3 1 1 255\n0 0 0\n", "P7\n1 1\n"}},
        {"pgm", {"P6 1 1 255\n...", "P5 1 1 0\n.", "P5 1 1 65536\n..", "P5 1 1 256\n..", "P2 1 1 255\n0\n",
                 "P5 1 1 # comment\n255\n.", "P5 1 1 255"}},
        {"jpg", {png, with(jpeg, 12, 0xc9, 1), std::string("\xff\xd8\xff\xda\x00\x02", 6), jpeg.substr(0, 30)}},
        {"gif", {"GIF89a"}},
        // No magic bytes, a stated size short of the pixels (DevIL decodes past
        // its buffer), more mipmap levels than 5 x 4 has, a wrong header size, a
        // cube map, a volume texture, a depth, or a code DevIL is not let near; a
        // compressed file with a pitch alone leaves DevIL without a size.
        {"dds", {"DDX" + dds.substr(3), with(dds, 20, 15), with(dds, 28, 4), with(dds, 4, 123),
                 with(dds, 112, 0x200), with(dds, 112, 0x200000), with(dds, 24, 2), with(dds, 76, 24),
                 with(dds, 84, 0x36545844), with(with(dxt5, 8, 0x100f), 20, 20), with(plain, 88, 0x80808080),
                 with(plain, 80, 0x20000)}},
    };
    for (const auto& [extension, files] : refused)
        for (const std::string& bytes : files)
            EXPECT_EQ(declared(bytes, extension), "none") << extension << " case " << &bytes - files.data();
}
