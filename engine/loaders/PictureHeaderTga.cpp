#include "PictureHeaderFormats.h"

#include <algorithm>

// The TGA header: 18 bytes, then the image ID, the colour map and the pixels.

namespace VESK {

namespace {

// The end of the run-length packets of a TGA that cover its pixels, the
// first packet at offset start, or where they would end at the least when the
// file ends first. A packet is one byte, then one pixel for a run or its count
// of pixels raw, 1 to 128 pixels. DevIL decodes until the pixels are covered
// and, past the end of the file, goes on inventing pixels instead of failing.
std::int64_t tgaPacketsEnd(const PictureBytes& file, std::int64_t start, std::int64_t pixels,
                           std::int64_t bytesPerPixel)
{
    std::int64_t end = start;
    while (pixels > 0) {
        const int packet = file.at(end);
        if (packet < 0)
            break;
        const std::int64_t count = (packet & 0x7f) + 1;
        const std::int64_t bytes = (packet & 0x80) != 0 ? bytesPerPixel : count * bytesPerPixel;
        const bool whole = file.has(end + 1, bytes);
        end += 1 + bytes;
        pixels -= count;
        if (!whole)
            break;
    }
    return end + (std::max<std::int64_t>(pixels, 0) + 127) / 128 * (1 + bytesPerPixel);
}

}  // namespace

// TGA has no magic bytes: its colour-map type, image type and pixel depth
// must be ones the format defines, and a colour map must lie inside the file,
// between the image ID and the pixels. DevIL reads colour maps narrower than
// the format: only colour-mapped images may have one (of a true-colour or
// grey image it reads the map as pixels), with one-byte indices (it cannot
// convert wider ones), entries of 24 or 32 bits (of 16-bit entries it decodes
// only the first and leaves the others as the heap had them) and no more
// entries than a byte addresses (it reads the length as a signed number and
// allocates gigabytes for a negative one).
std::optional<PictureHeader> readTgaHeader(const PictureBytes& file)
{
    const std::uint8_t* h = file.data;
    if (!file.has(0, 18))
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
        return PictureHeader{width, height, tgaPacketsEnd(file, pixelsStart, width * height, bytesPerPixel)};
    return PictureHeader{width, height, pixelsStart + width * height * bytesPerPixel};
}

}  // namespace VESK
