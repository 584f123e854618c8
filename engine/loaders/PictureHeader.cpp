#include "PictureHeader.h"

#include <algorithm>
#include <cstring>

namespace VESK {

namespace {

bool readBytes(std::istream& in, std::uint8_t* bytes, std::size_t count)
{
    in.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(in.gcount()) == count;
}

std::uint32_t little16(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

std::uint32_t little32(const std::uint8_t* p)
{
    return little16(p) | (little16(p + 2) << 16);
}

std::uint32_t big16(const std::uint8_t* p)
{
    return (p[0] << 8) | p[1];
}

std::uint32_t big32(const std::uint8_t* p)
{
    return (big16(p) << 16) | big16(p + 2);
}

// Sizes are multiplied only once both sides are known to be in range, so the
// products cannot overflow; fitsDevIL refuses the other headers anyway.
bool sidesInRange(std::int64_t width, std::int64_t height)
{
    return width > 0 && width <= maximumPictureSide && height > 0 && height <= maximumPictureSide;
}

// Bytes of one row of an uncompressed BMP: whole 32-bit words.
std::int64_t bmpRowBytes(std::int64_t width, std::uint32_t bits)
{
    return (width * bits + 31) / 32 * 4;
}

// The colour table sits between the headers and the pixels; DevIL sizes it
// from the declared count in 32 bits, so the count must be one a bitmap can
// have and the table must lie inside the file.
std::optional<PictureHeader> bmpHeader(std::istream& in)
{
    std::uint8_t h[50];
    if (!readBytes(in, h, 26) || h[0] != 'B' || h[1] != 'M')
        return std::nullopt;
    const std::uint32_t dataOffset = little32(h + 10);
    const std::uint32_t infoSize = little32(h + 14);
    if (infoSize == 12) {
        const std::uint32_t bits = little16(h + 24);
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
            return std::nullopt;
        const std::int64_t width = little16(h + 18);
        const std::int64_t height = little16(h + 20);
        const std::int64_t tableEnd = 26 + (bits <= 8 ? 3 << bits : 0);
        if (!sidesInRange(width, height))
            return PictureHeader{width, height};
        return PictureHeader{width, height, std::max<std::int64_t>(tableEnd, dataOffset + bmpRowBytes(width, bits) * height)};
    }
    if (infoSize < 40 || infoSize > 124 || !readBytes(in, h + 26, 24))
        return std::nullopt;
    const std::uint32_t bits = little16(h + 28);
    const std::uint32_t compression = little32(h + 30);
    const std::uint32_t colours = little32(h + 46);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;
    // 0 stores plain rows, 3 plain rows of 16 or 32 bits with colour masks; 1
    // and 2 are run-length encoded, of 8 and 4 bits; nothing else is a bitmap
    // DevIL reads.
    const bool knownCompression = compression == 0 || (compression == 1 && bits == 8)
        || (compression == 2 && bits == 4) || (compression == 3 && (bits == 16 || bits == 32));
    if (!knownCompression || colours > 256 || (bits <= 8 && colours > (1u << bits)))
        return std::nullopt;
    const std::int64_t tableEnd = 14 + std::int64_t{infoSize} + 4 * std::int64_t{colours};
    const std::int64_t width = static_cast<std::int32_t>(little32(h + 18));
    std::int64_t height = static_cast<std::int32_t>(little32(h + 22));
    height = height < 0 ? -height : height;
    if (!sidesInRange(width, height))
        return PictureHeader{width, height};
    // Two bytes of run length encode at most 255 pixels.
    const std::int64_t runLengthBytes = (width * height + 254) / 255 * 2;
    if (compression == 1 || compression == 2)
        return PictureHeader{width, height, std::max<std::int64_t>(tableEnd, dataOffset + runLengthBytes)};
    return PictureHeader{width, height, std::max<std::int64_t>(tableEnd, dataOffset + bmpRowBytes(width, bits) * height)};
}

// The end of the run-length packets of a TGA that cover its pixels, the
// first packet at offset start, or where they would end at the least when the
// file ends first. A packet is one byte, then one pixel for a run or its count
// of pixels raw, 1 to 128 pixels. DevIL decodes until the pixels are covered
// and, past the end of the file, goes on inventing pixels instead of failing.
std::int64_t tgaPacketsEnd(std::istream& in, std::int64_t start, std::int64_t pixels, std::int64_t bytesPerPixel)
{
    in.seekg(start);
    std::int64_t end = start;
    while (pixels > 0) {
        const int packet = in.get();
        if (packet == EOF)
            break;
        const std::int64_t count = (packet & 0x7f) + 1;
        const std::int64_t bytes = (packet & 0x80) != 0 ? bytesPerPixel : count * bytesPerPixel;
        in.ignore(bytes);
        end += 1 + bytes;
        pixels -= count;
        if (in.gcount() != bytes)
            break;
    }
    return end + (std::max<std::int64_t>(pixels, 0) + 127) / 128 * (1 + bytesPerPixel);
}

// TGA has no magic bytes: its colour-map type, image type and pixel depth
// must be ones the format defines, and a colour map must lie inside the file,
// between the image ID and the pixels. DevIL reads colour maps narrower than
// the format: only colour-mapped images may have one (of a true-colour or
// grey image it reads the map as pixels), with one-byte indices (it cannot
// convert wider ones), entries of 24 or 32 bits (of 16-bit entries it decodes
// only the first and leaves the others as the heap had them) and no more
// entries than a byte addresses (it reads the length as a signed number and
// allocates gigabytes for a negative one).
std::optional<PictureHeader> tgaHeader(std::istream& in)
{
    std::uint8_t h[18];
    if (!readBytes(in, h, sizeof(h)))
        return std::nullopt;
    const std::uint8_t idLength = h[0];
    const std::uint8_t mapType = h[1];
    const std::uint8_t imageType = h[2];
    const std::uint32_t mapLength = little16(h + 5);
    const std::uint8_t mapBits = h[7];
    const std::uint8_t bits = h[16];
    const bool knownType = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9
        || imageType == 10 || imageType == 11;
    const bool knownBits = bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
    const bool colourMapped = imageType == 1 || imageType == 9;
    const bool mapRead =
        mapType == 1 && (mapBits == 24 || mapBits == 32) && mapLength >= 1 && mapLength <= 256 && bits == 8;
    if (!knownType || !knownBits || (colourMapped ? !mapRead : mapType != 0))
        return std::nullopt;
    const std::int64_t width = little16(h + 12);
    const std::int64_t height = little16(h + 14);
    const std::int64_t bytesPerPixel = (bits + 7) / 8;
    const std::int64_t pixelsStart = 18 + idLength + (colourMapped ? std::int64_t{mapLength} * (mapBits / 8) : 0);
    if (!sidesInRange(width, height))
        return PictureHeader{width, height};
    if (imageType > 3)
        return PictureHeader{width, height, tgaPacketsEnd(in, pixelsStart, width * height, bytesPerPixel)};
    return PictureHeader{width, height, pixelsStart + width * height * bytesPerPixel};
}

// Besides the header, every chunk up to IEND must lie inside the file: DevIL
// does not tell libpng when the file ends, and libpng then reads a chunk that
// runs past the end, and whatever lengths follow, for ever. DevIL allocates
// the whole picture before libpng finds the image data short, so the image
// data must be able to hold the pixels: deflate makes at most 1032 bytes of
// one.
std::optional<PictureHeader> pngHeader(std::istream& in)
{
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    std::uint8_t h[26];
    if (!readBytes(in, h, sizeof(h)) || std::memcmp(h, signature, 8) != 0 || std::memcmp(h + 12, "IHDR", 4) != 0)
        return std::nullopt;
    // Samples per pixel by colour type: grey, -, RGB, palette, grey and alpha, -, RGBA.
    static const int samples[] = {1, 0, 3, 1, 2, 0, 4};
    const std::uint8_t depth = h[24];
    const std::uint8_t colourType = h[25];
    if (colourType > 6 || samples[colourType] == 0 || depth == 0 || depth > 16 || (depth & (depth - 1)) != 0)
        return std::nullopt;
    // Chunk by chunk from the first: length, type, data and CRC.
    in.seekg(8);
    std::int64_t end = 8;
    std::int64_t imageData = 0;
    for (;;) {
        std::uint8_t chunk[8];
        if (!readBytes(in, chunk, sizeof(chunk)) || big32(chunk) > 0x7fffffffu)
            return std::nullopt;
        if (std::memcmp(chunk + 4, "IEND", 4) == 0) {
            end += 8;
            break;
        }
        end += 12 + std::int64_t{big32(chunk)};
        if (std::memcmp(chunk + 4, "IDAT", 4) == 0)
            imageData += big32(chunk);
        in.seekg(static_cast<std::streamoff>(big32(chunk)) + 4, std::ios::cur);
    }
    const PictureHeader header{big32(h + 16), big32(h + 20)};
    if (!sidesInRange(header.width, header.height))
        return header;
    const std::int64_t pixelBytes = header.width * header.height * samples[colourType] * depth / 8;
    return PictureHeader{header.width, header.height, end - imageData + (pixelBytes + 1031) / 1032};
}

// Bytes of one 4 x 4 block of a DDS compressed as its four-character code
// says, or 0 for a code DevIL's readers are not let near.
std::int64_t ddsBlockBytes(const std::uint8_t* code)
{
    if (std::memcmp(code, "DXT1", 4) == 0)
        return 8;
    const bool dxt2to5 = std::memcmp(code, "DXT", 3) == 0 && code[3] >= '2' && code[3] <= '5';
    return dxt2to5 ? 16 : 0;
}

// Only flat pictures, DXT1 to DXT5 or plain RGB(A) of 16, 24 or 32 bits: the
// textures are two-dimensional, and DevIL's readers of cube maps (which
// crashed on a cube map with faces missing), volume textures and other pixel
// formats are its least tried. DevIL takes the main image's size in bytes
// from the header when it is given, and decodes past its buffer when that is
// short (it did for a bit count of 0x80808080), so it may not be less than
// the pixels need. DevIL also makes as many mipmap levels as the header
// counts and walks them in quadratic time: the count may not exceed the levels
// the larger side has.
std::optional<PictureHeader> ddsHeader(std::istream& in)
{
    constexpr std::uint32_t pitchGiven = 0x8;
    constexpr std::uint32_t linearSizeGiven = 0x80000;
    constexpr std::uint32_t fourCharacterCode = 0x4;
    constexpr std::uint32_t rgb = 0x40;
    constexpr std::uint32_t cubeMap = 0x200;
    constexpr std::uint32_t volume = 0x200000;
    std::uint8_t h[116];
    if (!readBytes(in, h, sizeof(h)) || std::memcmp(h, "DDS ", 4) != 0 || little32(h + 4) != 124)
        return std::nullopt;
    if (little32(h + 24) > 1 || (little32(h + 112) & (cubeMap | volume)) != 0 || little32(h + 76) != 32)
        return std::nullopt;
    const std::uint32_t flags = little32(h + 8);
    const std::uint32_t formatFlags = little32(h + 80);
    const std::uint32_t bits = little32(h + 88);
    const std::int64_t blockBytes = (formatFlags & fourCharacterCode) != 0 ? ddsBlockBytes(h + 84) : 0;
    if ((formatFlags & fourCharacterCode) != 0 ? blockBytes == 0
                                               : (formatFlags & rgb) == 0 || (bits != 16 && bits != 24 && bits != 32))
        return std::nullopt;

    const std::int64_t width = little32(h + 16);
    const std::int64_t height = little32(h + 12);
    std::uint32_t levels = 1;
    for (std::int64_t side = std::max(width, height); side > 1; side /= 2)
        ++levels;
    if (little32(h + 28) > levels)
        return std::nullopt;
    if (!sidesInRange(width, height))
        return PictureHeader{width, height};

    const std::int64_t mainBytes =
        blockBytes != 0 ? (width + 3) / 4 * ((height + 3) / 4) * blockBytes : width * height * bits / 8;
    const std::int64_t declaredBytes = little32(h + 20);
    if (declaredBytes != 0 && (flags & linearSizeGiven) != 0) {
        if (declaredBytes < mainBytes)
            return std::nullopt;
        return PictureHeader{width, height, 128 + declaredBytes};
    }
    // A pitch alone makes DevIL size the data from the bit count, which a
    // compressed file does not give.
    if (declaredBytes != 0 && (flags & pitchGiven) != 0 && blockBytes != 0)
        return std::nullopt;
    return PictureHeader{width, height, 128 + mainBytes};
}

bool isAsciiAlphanumeric(int c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// One word of a PNM header read the way DevIL reads it: letters and digits up
// to a line feed, '#' or space (other bytes, tabs among them, are dropped, not
// separators); a '#' ends the line as a comment; spaces after the word are
// skipped, except after the last word, where the pixels start right behind
// its one ending byte. A word of no letters or digits, or the end of the file
// anywhere, fails the header.
std::optional<std::string> devilPnmWord(std::istream& in, bool last)
{
    for (;;) {
        std::string word;
        int c = in.get();
        for (; c != EOF && c != '\n' && c != '#' && c != ' '; c = in.get()) {
            if (word.size() >= 180)
                return std::nullopt;
            if (isAsciiAlphanumeric(c))
                word += static_cast<char>(c);
        }
        if (c == EOF || (last && word.empty()))
            return std::nullopt;
        if (last)
            return word;
        if (c == '#')
            while ((c = in.get()) != EOF && c != '\n') {
            }
        while ((c = in.get()) == ' ') {
        }
        if (c == EOF)
            return std::nullopt;
        in.unget();
        if (!word.empty())
            return word;
    }
}

// The value atoi gives a header word: its leading digits, here saturated at
// 2^40 (such sizes are refused anyway).
std::int64_t leadingNumber(const std::string& word)
{
    std::int64_t value = 0;
    for (std::size_t i = 0; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i)
        value = std::min(value * 10 + (word[i] - '0'), std::int64_t{1} << 40);
    return value;
}

// Binary grey (P5, .pgm) or colour (P6, .ppm) maps of one byte per sample
// only. DevIL misreads the others: it takes two-byte binary samples as one
// byte wide and then converts twice the data it holds, and its text reader
// writes as many samples as a line holds, past the end of the image.
std::optional<PictureHeader> pnmHeader(std::istream& in, const std::string& magic)
{
    const std::optional<std::string> kind = devilPnmWord(in, false);
    if (!kind || *kind != magic)
        return std::nullopt;
    const std::optional<std::string> width = devilPnmWord(in, false);
    const std::optional<std::string> height = devilPnmWord(in, false);
    if (!width || !height)
        return std::nullopt;
    const std::optional<std::string> maximum = devilPnmWord(in, true);
    if (!maximum || leadingNumber(*maximum) < 1 || leadingNumber(*maximum) > 255)
        return std::nullopt;
    const std::int64_t headerBytes = in.tellg();
    const PictureHeader header{leadingNumber(*width), leadingNumber(*height)};
    if (headerBytes < 0)
        return std::nullopt;
    if (!sidesInRange(header.width, header.height))
        return header;
    return PictureHeader{header.width, header.height,
                         headerBytes + header.width * header.height * (magic == "P6" ? 3 : 1)};
}

// Walks the marker segments up to the first scan; fill bytes (0xff) before a
// marker are skipped. Only Huffman-coded frames (baseline, extended or
// progressive) are let through: an arithmetic-coded one can code a blank
// picture of any size in a few bytes, and libjpeg decodes no other. A scan
// codes each of its blocks in at least one bit and has at least one block per
// minimum coded unit, and when the coded data ends early libjpeg invents the
// rest and DevIL reports success: the bytes from the first scan on must hold
// one bit per unit.
std::optional<PictureHeader> jpegHeader(std::istream& in)
{
    std::uint8_t h[2];
    if (!readBytes(in, h, 2) || h[0] != 0xff || h[1] != 0xd8)
        return std::nullopt;
    std::optional<PictureHeader> frame;
    for (;;) {
        int kind = in.get();
        if (kind != 0xff)
            return std::nullopt;
        while (kind == 0xff)
            kind = in.get();
        std::uint8_t size[2];
        if (kind == EOF || !readBytes(in, size, 2) || big16(size) < 2)
            return std::nullopt;
        const std::uint32_t length = big16(size) - 2;
        const bool startOfFrame = kind >= 0xc0 && kind <= 0xcf && kind != 0xc4 && kind != 0xc8 && kind != 0xcc;
        if (startOfFrame) {
            // Precision, height, width, component count, then per component
            // its id, sampling factors and table.
            std::uint8_t header[6 + 3 * 255];
            if (frame || kind > 0xc2 || length < 6 || length > sizeof(header) || !readBytes(in, header, length)
                || length != 6 + 3u * header[5])
                return std::nullopt;
            std::int64_t columnsPerUnit = 8;
            std::int64_t rowsPerUnit = 8;
            for (std::uint32_t i = 0; i < header[5]; ++i) {
                const std::uint8_t sampling = header[6 + 3 * i + 1];
                if ((sampling >> 4) < 1 || (sampling >> 4) > 4 || (sampling & 15) < 1 || (sampling & 15) > 4)
                    return std::nullopt;
                columnsPerUnit = std::max<std::int64_t>(columnsPerUnit, 8 * (sampling >> 4));
                rowsPerUnit = std::max<std::int64_t>(rowsPerUnit, 8 * (sampling & 15));
            }
            const std::int64_t width = big16(header + 3);
            const std::int64_t height = big16(header + 1);
            const std::int64_t units =
                (width + columnsPerUnit - 1) / columnsPerUnit * ((height + rowsPerUnit - 1) / rowsPerUnit);
            frame = PictureHeader{width, height, (units + 7) / 8};
            continue;
        }
        if (kind == 0xda) {
            const std::streamoff position = in.tellg();
            if (!frame || position < 0)
                return std::nullopt;
            frame->minimumFileSize += position + length;
            return frame;
        }
        in.seekg(length, std::ios::cur);
    }
}

}  // namespace

std::optional<PictureHeader> readPictureHeader(std::istream& in, const std::string& extension)
{
    if (extension == "bmp")
        return bmpHeader(in);
    if (extension == "tga")
        return tgaHeader(in);
    if (extension == "png")
        return pngHeader(in);
    if (extension == "dds")
        return ddsHeader(in);
    if (extension == "ppm")
        return pnmHeader(in, "P6");
    if (extension == "pgm")
        return pnmHeader(in, "P5");
    if (extension == "jpg" || extension == "jpeg" || extension == "jpe")
        return jpegHeader(in);
    return std::nullopt;
}

bool fitsDevIL(const PictureHeader& header, std::int64_t fileSize)
{
    return sidesInRange(header.width, header.height) && header.minimumFileSize <= fileSize;
}

}  // namespace VESK
