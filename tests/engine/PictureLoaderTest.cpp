#include <memory>
#include <string>
#include <vector>

#include "debugging/CException.h"
#include "engine/loaders/CFactoryLoader.h"
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
    // Loads through the loader; on failure returns null and keeps the message.
    std::unique_ptr<CPicture> load(const std::string& file)
    {
        try {
            return std::unique_ptr<CPicture>(static_cast<CPicture*>(loader.loadFromFile(file)));
        } catch (const DEBUGGING::CException& e) {
            message = e.what();
            return nullptr;
        }
    }

    std::string saveFailure(void* picture, const std::string& file)
    {
        try {
            loader.saveToFile(picture, file);
        } catch (const DEBUGGING::CException& e) {
            return e.what();
        }
        return "";
    }

    static Bytes pixelsOf(const CPicture& picture)
    {
        return Bytes(picture.pixels, picture.pixels + picture.getByteCount());
    }

    CPictureLoader loader;
    std::string message;
};

std::string loadFailure(const std::string& file)
{
    return "VESK::CPictureLoader::loadFromFile " + file + " [FAILED]";
}

}  // namespace

TEST(PictureTest, RecordOwnsCopiesAndFlipsItsPixels)
{
    EXPECT_EQ(CPicture::bytesPerPixelOf(PICTURE_BGR), 3);
    EXPECT_EQ(CPicture::bytesPerPixelOf(PICTURE_BGRA), 4);
    EXPECT_EQ(CPicture::bytesPerPixelOf(PICTURE_LUMINANCE), 1);
    EXPECT_EQ(CPicture::bytesPerPixelOf(3), 0);
    EXPECT_EQ(CPicture::bytesPerPixelOf(-1), 0);

    const CPicture zeros(CMyVector<int, 2>(2, 3), PICTURE_BGRA, nullptr);
    EXPECT_EQ(zeros.getByteCount(), 24u);
    EXPECT_EQ(Bytes(zeros.pixels, zeros.pixels + 24), Bytes(24, 0));

    const Bytes rows{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    CPicture picture(CMyVector<int, 2>(2, 2), PICTURE_BGR, rows.data());
    CPicture copy(picture);
    EXPECT_NE(copy.pixels, picture.pixels);
    copy.flipVertically();
    EXPECT_EQ(Bytes(copy.pixels, copy.pixels + 12), (Bytes{7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Bytes(picture.pixels, picture.pixels + 12), rows);
    copy = zeros;
    EXPECT_EQ(copy.size[0], 2);
    EXPECT_EQ(copy.size[1], 3);
    EXPECT_EQ(copy.format, PICTURE_BGRA);
    EXPECT_EQ(Bytes(copy.pixels, copy.pixels + 24), Bytes(24, 0));

    const Bytes grey{1, 2, 3, 4, 5, 6, 7, 8};
    CPicture one(CMyVector<int, 2>(8, 1), PICTURE_LUMINANCE, grey.data());
    one.flipVertically();
    EXPECT_EQ(Bytes(one.pixels, one.pixels + 8), grey);
    CPicture three(CMyVector<int, 2>(2, 3), PICTURE_LUMINANCE, grey.data());
    three.flipVertically();
    EXPECT_EQ(Bytes(three.pixels, three.pixels + 6), (Bytes{5, 6, 3, 4, 1, 2}));
    CPicture four(CMyVector<int, 2>(2, 4), PICTURE_LUMINANCE, grey.data());
    four.flipVertically();
    EXPECT_EQ(Bytes(four.pixels, four.pixels + 8), (Bytes{7, 8, 5, 6, 3, 4, 1, 2}));
}

TEST(PictureTest, SizesMustBePositiveAndFitA32BitInt)
{
    EXPECT_EQ(CPicture::byteCountOf(100, 50, PICTURE_BGR), 15000);
    EXPECT_EQ(CPicture::byteCountOf(0, 50, PICTURE_BGR), -1);
    EXPECT_EQ(CPicture::byteCountOf(50, -1, PICTURE_BGR), -1);
    EXPECT_EQ(CPicture::byteCountOf(32768, 16384, PICTURE_BGRA), -1);
    EXPECT_EQ(CPicture::byteCountOf(32768, 65535, PICTURE_LUMINANCE), 2147450880);
    EXPECT_EQ(CPicture::byteCountOf(65536, 65536, PICTURE_LUMINANCE), -1);
    EXPECT_THROW(CPicture(CMyVector<int, 2>(0, 4), PICTURE_BGR, nullptr), std::length_error);
    EXPECT_THROW(CPicture(CMyVector<int, 2>(65536, 16384), PICTURE_BGR, nullptr), std::length_error);
}

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
    const std::string paletteRgb("\xff\x00\x00\x00\x00\xff", 6);
    std::string runLengthBmp = PictureFiles::bmp(3, 2, {}, blueGreenRed).substr(0, 66);
    runLengthBmp[30] = 1;
    // Bottom row 2 1 0 as three raw indices and a pad byte, end of line; top
    // row 0 1 2 as runs of one, end of bitmap.
    runLengthBmp += std::string("\x00\x03\x02\x01\x00\x00\x00\x00\x01\x00\x01\x01\x01\x02\x00\x01", 16);
    const Case cases[] = {
        // 3 x 2 BGR: rows of 9 bytes, padded to 12 in the file.
        {"rgb.bmp", PictureFiles::bmp(3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}), 3,
         PICTURE_BGR, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}},
        {"rgba.tga", PictureFiles::tga32(2, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}), 2,
         PICTURE_BGRA, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        {"grey.pgm", PictureFiles::pgm(3, 2, {0, 50, 100, 150, 200, 250}), 3, PICTURE_LUMINANCE, {0, 50, 100, 150, 200, 250}},
        {"rgb.ppm", "P6\n2 1\n255\n\x01\x02\x03\x04\x05\x06", 2, PICTURE_BGR, {3, 2, 1, 6, 5, 4}},
        // Grey and alpha becomes BGR without the alpha, at any sample width.
        {"greyalpha.png", PictureFiles::png(2, 1, 4, 8, std::string("\x10\x80\x20\xff", 4)), 2, PICTURE_BGR,
         {16, 16, 16, 32, 32, 32}},
        {"deepgreyalpha.png", PictureFiles::png(1, 1, 4, 16, std::string("\x10\x01\x80\x02", 4)), 1, PICTURE_BGR, {16, 16, 16}},
        // 16-bit samples keep their high byte and their layout.
        {"deep.png", PictureFiles::png(2, 1, 2, 16, std::string("\x12\x34\x56\x78\x9a\xbc\xde\xf0\x11\x22\x33\x44", 12)), 2,
         PICTURE_BGR, {0x9a, 0x56, 0x12, 0x33, 0x11, 0xde}},
        {"deepalpha.png", PictureFiles::png(1, 1, 6, 16, std::string("\x12\x34\x56\x78\x9a\xbc\xde\xf0", 8)), 1,
         PICTURE_BGRA, {0x9a, 0x56, 0x12, 0xde}},
        {"deepgrey.png", PictureFiles::png(2, 1, 0, 16, std::string("\x12\x34\xab\xcd", 4)), 2, PICTURE_LUMINANCE, {0x12, 0xab}},
        // Palette images become colour, with alpha when the palette has some.
        {"palette.bmp", PictureFiles::bmp(3, 2, {0, 1, 2, 2, 1, 0}, blueGreenRed), 3, PICTURE_BGR,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0}},
        {"runlength.bmp", runLengthBmp, 3, PICTURE_BGR, {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0}},
        {"palette.png", PictureFiles::png(2, 1, 3, 8, std::string("\x00\x01", 2), paletteRgb, std::string("\x80\xff", 2)), 2,
         PICTURE_BGRA, {0, 0, 255, 128, 255, 0, 0, 255}},
        {"palette.tga", PictureFiles::tga(1, 2, 1, 8, std::string("\x02\x00", 2), std::string(blueGreenRed.begin(), blueGreenRed.end()), 24),
         2, PICTURE_BGR, {0, 0, 255, 255, 0, 0}},
        // Run-length packets: a run of two, then one raw pixel.
        {"runlength.tga", PictureFiles::tga(9, 3, 1, 8, std::string("\x81\x01\x00\x00", 4), "\x0a\x14\x1e\x28\x32\x3c\x46\x50", 32),
         3, PICTURE_BGRA, {50, 60, 70, 80, 50, 60, 70, 80, 10, 20, 30, 40}},
        {"runlength24.tga", PictureFiles::tga(10, 3, 1, 24, std::string("\x81\x01\x02\x03\x00\x04\x05\x06", 8)), 3, PICTURE_BGR,
         {1, 2, 3, 1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        writeFile(c.file, c.bytes);
        std::unique_ptr<CPicture> picture = load(c.file);
        ASSERT_NE(picture, nullptr) << c.file << ": " << message;
        EXPECT_EQ(picture->size[0], c.width) << c.file;
        EXPECT_EQ(picture->size[1], static_cast<int>(c.pixels.size()) / c.width / picture->getBytesPerPixel()) << c.file;
        EXPECT_EQ(picture->format, c.format) << c.file;
        EXPECT_EQ(pixelsOf(*picture), c.pixels) << c.file;
    }
}

TEST_F(PictureLoaderTest, UnusableFilesFailWithTheirName)
{
    const std::string bmp = PictureFiles::bmp(4, 4, Bytes(48, 7));
    const std::string tga = PictureFiles::tga32(4, 4, Bytes(64, 9));
    std::string dds = "DDS ";
    for (const std::uint32_t value : {124, 0x1007, 65536, 65536})
        PictureFiles::put32(dds, value);
    const std::pair<std::string, std::string> files[] = {
        // Each of these headers makes DevIL's 32-bit sizes wrap; DevIL then
        // crashes (BMP, TGA), frees twice (PPM) or takes the size as 0.
        {"huge.bmp", std::string(bmp).replace(18, 8, std::string("\x00\x00\x01\x00\x00\x00\x01\x00", 8))},
        {"huge.tga", std::string(tga).replace(12, 4, "\xff\xff\xff\xff")},
        {"wrapping.ppm", std::string("P6\n1431655766 1\n255\n\0\0\0", 23)},
        {"huge.pgm", "P5\n65536 65536\n255\n"},
        {"endless.pgm", "P5\n99999999999999999999999999 1\n255\n"},
        {"huge.PNG", PictureFiles::png(1, 1, 0, 8, "\x01").replace(16, 8, std::string("\x00\x01\x00\x00\x00\x01\x00\x00", 8))},
        {"huge.dds", dds + std::string(108, '\0')},
        {"huge.jpg", std::string("\xff\xd8\xff\xe0\x00\x04\x00\x00\xff\xff\xc0\x00\x11\x08\xff\xdc\xff\xdc\x03", 19)},
        {"empty.bmp", PictureFiles::bmp(0, 0, {})},
        {"wide.pgm", "P5\n16385 1\n255\n" + std::string(16385, 'x')},
        // Files shorter than their declared pixels, or not pictures at all.
        {"short.bmp", bmp.substr(0, bmp.size() - 1)},
        {"short.tga", tga.substr(0, tga.size() - 1)},
        {"short.png", PictureFiles::png(4, 4, 2, 8, std::string(48, 'a')).substr(0, 60)},
        {"short.ppm", "P6\n2 2\n255\n" + std::string(11, 'x')},
        {"short.pgm", "P5\n2 2\n255\n" + std::string(3, ' ')},
        {"text.pgm", "P2\n2 2\n255\n1 2 3 4\n"},
        {"text.png", "not a picture"},
        // An index past the colour map: DevIL would read past its palette.
        {"outside.tga", PictureFiles::tga(1, 2, 1, 8, std::string("\x01\x03", 2), std::string(9, 'm'), 24)},
        // Right contents, wrong extension or none: DevIL is never asked to guess.
        {"bitmap.png", PictureFiles::bmp(1, 1, {1, 2, 3})},
        {"grey.ppm", PictureFiles::pgm(1, 1, {1})},
        {"targa.bmp", PictureFiles::tga32(1, 1, {1, 2, 3, 4})},
        {"noextension", PictureFiles::pgm(2, 2, {1, 2, 3, 4})},
    };
    writeFile("folder.png/inside", "");
    std::vector<std::string> names{"missing.png", "Data/missing dir/x.tga", "folder.png"};
    for (const auto& [file, bytes] : files) {
        writeFile(file, bytes);
        names.push_back(file);
    }
    for (const std::string& file : names) {
        message.clear();
        EXPECT_EQ(load(file), nullptr) << file;
        EXPECT_EQ(message, loadFailure(file));
    }
}

TEST_F(PictureLoaderTest, RunningOutOfMemoryForThePictureFailsWithItsName)
{
    writeFile("large.pgm", PictureFiles::pgm(300, 300, Bytes(90000, 5)));
    {
        const FailingAllocations failing(64 << 10, 0);
        EXPECT_EQ(load("large.pgm"), nullptr);
        EXPECT_TRUE(FailingAllocations::refusedAny());
    }
    EXPECT_EQ(message, loadFailure("large.pgm"));
    EXPECT_NE(load("large.pgm"), nullptr);
}

TEST(PictureHeaderTest, DeclaredSizesAreReadPerFormat)
{
    // Copies of bytes with a little-endian 32-bit value or one byte at an offset.
    auto with = [](std::string bytes, std::size_t at, std::uint32_t value) {
        std::string little;
        PictureFiles::put32(little, value);
        return bytes.replace(at, 4, little);
    };
    auto withByte = [](std::string bytes, std::size_t at, char value) {
        bytes[at] = value;
        return bytes;
    };
    const std::string bmp = PictureFiles::bmp(3, 2, Bytes(18));
    const std::string palette = PictureFiles::bmp(3, 2, Bytes(6), Bytes(3 * 256));
    const std::string runLength = withByte(palette, 30, 1);
    const std::string tga = PictureFiles::tga32(5, 7, Bytes(140));
    const std::string map(9, 'm');
    const std::string packets("\x81\x01\x02\x03\x00\x04\x05\x06", 8);
    const std::string png = PictureFiles::png(9, 4, 0, 8, std::string(36, 'a'));
    // APP0, a fill byte, a progressive frame of 320 x 32 in units of 16 x 16, a scan.
    const std::string jpeg("\xff\xd8\xff\xe0\x00\x06JFIF\xff\xff\xc2\x00\x11\x08\x00\x20\x01\x40\x03\x01\x22\x00\x02\x11\x01"
                           "\x03\x11\x01\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00", 40);
    // A 5 x 4 DDS in DXT1 (two blocks of 8 bytes) with three mipmap levels.
    std::string dds = "DDS " + std::string(124, '\0');
    for (const auto& [at, value] : {std::pair{4, 124}, {8, 0x81007}, {12, 4}, {16, 5}, {20, 16}, {28, 3}, {76, 32}, {80, 0x4}})
        dds = with(dds, at, value);
    dds.replace(84, 4, "DXT1");
    const std::string dxt5 = with(withByte(dds, 87, '5'), 20, 0);
    const std::string plain = with(with(with(with(dds, 8, 0x100f), 20, 20), 80, 0x41), 88, 32);
    const struct {
        std::string bytes;
        std::string extension;
        std::string header;
    } cases[] = {
        {bmp, "bmp", "3x2 in 78"},
        {with(bmp, 22, 0xfffffffe), "bmp", "3x2 in 78"},
        // A colour table of 256 entries must be in the file before the pixels.
        {palette, "bmp", "3x2 in 1086"},
        {with(palette, 10, 0), "bmp", "3x2 in 1078"},
        // Run lengths: two bytes make at most 255 pixels.
        {runLength, "bmp", "3x2 in 1080"},
        {with(with(runLength, 18, 16384), 22, 16384), "bmp", "16384x16384 in 2106456"},
        {tga, "tga", "5x7 in 158"},
        {PictureFiles::tga(1, 2, 1, 8, "ab", map, 24), "tga", "2x1 in 29"},
        // One packet of 1 + 3 bytes makes at most 128 pixels, and every packet must be in the file.
        {PictureFiles::tga(10, 3, 1, 24, packets), "tga", "3x1 in 26"},
        {PictureFiles::tga(10, 3, 1, 24, packets.substr(0, 7)), "tga", "3x1 in 26"},
        {PictureFiles::tga(10, 16384, 16384, 24, ""), "tga", "16384x16384 in 8388626"},
        {PictureFiles::tga(9, 300, 1, 8, std::string("\xff\x01", 2), map, 24), "tga", "300x1 in 33"},
        // Deflate makes at most 1032 bytes of one.
        {png, "png", "9x4 in 54"},
        {with(with(png, 16, 0x400000), 20, 0x400000), "png", "16384x16384 in 260165"},
        {"P5 # a comment\n  12\n# another\n 34 255\n", "pgm", "12x34 in 446"},
        {"P6 2 3 255\n", "ppm", "2x3 in 29"},
        // Words as DevIL reads them: a tab is dropped, not a separator, and the
        // pixels start right after the byte that ends the largest value.
        {"P5\n2\t1 3 255  ", "pgm", "21x3 in 76"},
        // One bit of coded data per unit, from the scan on.
        {jpeg, "jpe", "320x32 in 45"},
        {withByte(jpeg, 12, '\xc9'), "jpg", "none"},
        {dds, "dds", "5x4 in 144"},
        {dxt5, "dds", "5x4 in 160"},
        // Plain 32-bit BGRA: 80 bytes of pixels.
        {plain, "dds", "5x4 in 208"},

        // Magic bytes and fixed fields must match the extension.
        {"BZ", "bmp", "none"},
        {bmp, "tga", "none"},
        {tga, "bmp", "none"},
        {png, "jpg", "none"},
        {"\x88" + png.substr(1), "png", "none"},
        {"GIF89a", "gif", "none"},
        // Run lengths of 8 bits for RLE8, 4 for RLE4; colour masks of 16 or 32.
        {withByte(bmp, 30, 1), "bmp", "none"},
        {withByte(palette, 30, 2), "bmp", "none"},
        {withByte(bmp, 30, 3), "bmp", "none"},
        {withByte(bmp, 30, 4), "bmp", "none"},
        {with(palette, 46, 257), "bmp", "none"},
        {with(palette, 46, 0xffd8ff02), "bmp", "none"},
        {withByte(tga, 2, 4), "tga", "none"},
        {withByte(tga, 16, 31), "tga", "none"},
        // Colour maps: only for colour-mapped images, of 1 to 256 entries of
        // 24 or 32 bits, for indices of 8 bits.
        {withByte(tga, 2, 1), "tga", "none"},
        {PictureFiles::tga(2, 2, 1, 24, "abcdef", map, 24), "tga", "none"},
        {PictureFiles::tga(1, 2, 1, 8, "ab", map.substr(0, 6), 16), "tga", "none"},
        {PictureFiles::tga(1, 2, 1, 16, "abcd", map, 24), "tga", "none"},
        {withByte(PictureFiles::tga(1, 2, 1, 8, "ab", map, 24), 1, 2), "tga", "none"},
        {withByte(withByte(PictureFiles::tga(1, 2, 1, 8, "ab", map, 24), 5, 1), 6, 1), "tga", "none"},
        {withByte(PictureFiles::tga(9, 2, 1, 8, "ab", map, 24), 5, 0), "tga", "none"},
        // Every PNG chunk must lie inside the file, up to IEND.
        {png.substr(0, png.size() - 12), "png", "none"},
        {png.substr(0, png.size() - 13), "png", "none"},
        {std::string(png).replace(33, 4, std::string("\x00\x08\x00\x3f", 4)), "png", "none"},
        {withByte(png, 25, 5), "png", "none"},
        {PictureFiles::pgm(1, 1, {0}), "ppm", "none"},
        {"P6 1 1 255\n...", "pgm", "none"},
        {"P5 1 1 0\n.", "pgm", "none"},
        {"P5 1 1 65536\n..", "pgm", "none"},
        // Text samples and two-byte samples are not let through to DevIL.
        {"P5 1 1 256\n..", "pgm", "none"},
        {"P2 1 1 255\n0\n", "pgm", "none"},
        {"P3 1 1 255\n0 0 0\n", "ppm", "none"},
        {"P5 1 1 # comment\n255\n.", "pgm", "none"},
        {"P5 1 1 255", "pgm", "none"},
        {"P7\n1 1\n", "ppm", "none"},
        {std::string("\xff\xd8\xff\xda\x00\x02", 6), "jpg", "none"},
        {jpeg.substr(0, 30), "jpg", "none"},
        // A stated size short of the pixels (DevIL decodes past its buffer), more
        // mipmap levels than 5 x 4 has, a wrong header size, a cube map, a volume
        // texture, a depth, or a code DevIL is not let near.
        {with(dds, 20, 15), "dds", "none"},
        {with(dds, 28, 4), "dds", "none"},
        {with(dds, 4, 123), "dds", "none"},
        {with(dds, 112, 0x200), "dds", "none"},
        {with(dds, 112, 0x200000), "dds", "none"},
        {with(dds, 24, 2), "dds", "none"},
        {with(dds, 76, 24), "dds", "none"},
        {with(dds, 84, 0x36545844), "dds", "none"},
        // A compressed file with a pitch alone leaves DevIL without a size.
        {with(with(dxt5, 8, 0x100f), 20, 20), "dds", "none"},
        {with(plain, 88, 0x80808080), "dds", "none"},
        {with(plain, 80, 0x20000), "dds", "none"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.bytes);
        const std::optional<PictureHeader> header = readPictureHeader(in, c.extension);
        EXPECT_EQ(header ? std::to_string(header->width) + "x" + std::to_string(header->height) + " in "
                          + std::to_string(header->minimumFileSize)
                         : std::string("none"),
                  c.header)
            << c.extension << " case " << &c - cases;
    }

    EXPECT_TRUE(fitsDevIL({16384, 16384}, 0));
    EXPECT_FALSE(fitsDevIL({16384, 16385}, 0));
    EXPECT_FALSE(fitsDevIL({16385, 1}, 0));
    EXPECT_FALSE(fitsDevIL({0, 5}, 0));
    EXPECT_FALSE(fitsDevIL({5, -5}, 0));
    EXPECT_TRUE(fitsDevIL({5, 5, 100}, 100));
    EXPECT_FALSE(fitsDevIL({5, 5, 100}, 99));
}

using PictureFactoryTest = LoggedWorkDir;

TEST_F(PictureFactoryTest, FactoryReportsLoaderFailuresAndUnknownExtensions)
{
    CFactoryLoader::registerLoader(new CPictureLoader());
    writeFile("Data/grey.pgm", PictureFiles::pgm(1, 1, {77}));
    std::unique_ptr<CPicture> picture(static_cast<CPicture*>(CFactoryLoader::loadFromFile("Data/grey.pgm")));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 77);
    EXPECT_EQ(CFactoryLoader::loadFromFile("Data/absent.png"), nullptr);
    EXPECT_EQ(CFactoryLoader::loadFromFile("Data/grey.gif"), nullptr);
    CFactoryLoader::getInstance().clear();
    const std::vector<std::string> lines = logBody();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(isStampedLine(lines[0], " -> [ ERROR ] VESK::CPictureLoader::loadFromFile Data/absent.png [FAILED]"))
        << lines[0];
    EXPECT_TRUE(isStampedLine(lines[1], " -> [ ERROR ] VESK::CFactoryLoader::loadFromFile : gif [NOT FOUND]"))
        << lines[1];
}

TEST_F(PictureLoaderTest, SavedPicturesReadBackUnchanged)
{
    Bytes bgr(5 * 3 * 3);
    for (std::size_t i = 0; i < bgr.size(); ++i)
        bgr[i] = static_cast<std::uint8_t>(7 * i);
    const CPicture colour(CMyVector<int, 2>(5, 3), PICTURE_BGR, bgr.data());
    Bytes bgra(4 * 3 * 4);
    for (std::size_t i = 0; i < bgra.size(); ++i)
        bgra[i] = static_cast<std::uint8_t>(255 - 5 * i);
    const CPicture translucent(CMyVector<int, 2>(4, 3), PICTURE_BGRA, bgra.data());
    const Bytes grey{9, 8, 7, 6, 5, 4};
    const CPicture luminance(CMyVector<int, 2>(2, 3), PICTURE_LUMINANCE, grey.data());

    const std::vector<std::pair<const CPicture*, std::string>> cases{
        {&colour, "colour.bmp"}, {&colour, "colour.png"}, {&colour, "colour.tga"}, {&translucent, "alpha.tga"},
        {&translucent, "alpha.png"}, {&luminance, "grey.png"}, {&luminance, "grey.tga"}};
    for (const auto& [picture, file] : cases) {
        loader.saveToFile(const_cast<CPicture*>(picture), file);
        std::unique_ptr<CPicture> back = load(file);
        ASSERT_NE(back, nullptr) << file << ": " << message;
        EXPECT_EQ(back->size[0], picture->size[0]) << file;
        EXPECT_EQ(back->size[1], picture->size[1]) << file;
        EXPECT_EQ(back->format, picture->format) << file;
        EXPECT_EQ(pixelsOf(*back), pixelsOf(*picture)) << file;
    }
    // Lossy and block-compressed formats keep the size.
    for (const std::string file : {"colour.jpg", "alpha.dds"}) {
        loader.saveToFile(const_cast<CPicture*>(file == "colour.jpg" ? &colour : &translucent), file);
        std::unique_ptr<CPicture> back = load(file);
        ASSERT_NE(back, nullptr) << file << ": " << message;
        EXPECT_EQ(back->size[0], file == "colour.jpg" ? 5 : 4) << file;
        EXPECT_EQ(back->size[1], 3) << file;
    }

    // The source picture is not flipped by saving.
    EXPECT_EQ(pixelsOf(colour), bgr);

    // Saving over an existing file replaces it.
    writeFile("over.tga", std::string(5000, 'x'));
    loader.saveToFile(const_cast<CPicture*>(&luminance), "over.tga");
    std::unique_ptr<CPicture> back = load("over.tga");
    ASSERT_NE(back, nullptr) << message;
    EXPECT_EQ(pixelsOf(*back), grey);
}

TEST_F(PictureLoaderTest, UnsavablePicturesFailWithTheirName)
{
    EXPECT_EQ(saveFailure(nullptr, "null.png"), "VESK::CPictureLoader::saveToFile null.png [FAILED]");
    CPicture unknown(CMyVector<int, 2>(2, 2), 7, nullptr);
    EXPECT_EQ(saveFailure(&unknown, "unknown.png"), "VESK::CPictureLoader::saveToFile unknown.png [FAILED]");
    CPicture grey(CMyVector<int, 2>(2, 2), PICTURE_LUMINANCE, nullptr);
    EXPECT_EQ(saveFailure(&grey, "no/such/dir.png"), "VESK::CPictureLoader::saveToFile no/such/dir.png [FAILED]");
    EXPECT_EQ(saveFailure(&grey, "picture.xyz"), "VESK::CPictureLoader::saveToFile picture.xyz [FAILED]");
    EXPECT_FALSE(std::filesystem::exists("unknown.png"));
}
