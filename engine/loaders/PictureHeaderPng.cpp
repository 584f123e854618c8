#include "PictureHeaderFormats.h"

#include <cstring>

// The PNG header: the signature, then chunks of a length, a type, data and a
// CRC, the first of them IHDR.

namespace VESK {

// Besides the header, every chunk up to IEND must lie inside the file: DevIL
// does not tell libpng when the file ends, and libpng then reads a chunk that
// runs past the end, and whatever lengths follow, for ever. DevIL allocates
// the whole picture before libpng finds the image data short, so the image
// data must be able to hold the pixels: deflate makes at most 1032 bytes of
// one.
std::optional<PictureHeader> readPngHeader(const PictureBytes& file)
{
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    const std::uint8_t* h = file.data;
    if (!file.has(0, 26) || std::memcmp(h, signature, 8) != 0 || std::memcmp(h + 12, "IHDR", 4) != 0)
        return std::nullopt;
    // Samples per pixel by colour type: grey, -, RGB, palette, grey and alpha, -, RGBA.
    static const int samples[] = {1, 0, 3, 1, 2, 0, 4};
    const std::uint8_t depth = h[24];
    const std::uint8_t colourType = h[25];
    if (colourType > 6 || samples[colourType] == 0 || depth == 0 || depth > 16 || (depth & (depth - 1)) != 0)
        return std::nullopt;
    // Chunk by chunk from the first: length, type, data and CRC.
    std::int64_t end = 8;
    std::int64_t imageData = 0;
    for (;;) {
        if (!file.has(end, 8))
            return std::nullopt;
        const std::uint8_t* chunk = h + end;
        if (big32(chunk) > 0x7fffffffu)
            return std::nullopt;
        if (std::memcmp(chunk + 4, "IEND", 4) == 0) {
            end += 8;
            break;
        }
        end += 12 + std::int64_t{big32(chunk)};
        if (std::memcmp(chunk + 4, "IDAT", 4) == 0)
            imageData += big32(chunk);
    }
    const PictureHeader header{big32(h + 16), big32(h + 20)};
    if (!sidesInRange(header.width, header.height))
        return header;
    const std::int64_t pixelBytes = header.width * header.height * samples[colourType] * depth / 8;
    return PictureHeader{header.width, header.height, end - imageData + (pixelBytes + 1031) / 1032};
}

}  // namespace VESK
