#include "PictureHeaderFormats.h"

#include <algorithm>
#include <cstring>

// The DDS header: "DDS ", then a 124-byte header with the pixel format at 76.

namespace VESK {

namespace {

// Bytes of one 4 x 4 block of a DDS compressed as its four-character code
// says, or 0 for a code DevIL's readers are not let near.
std::int64_t ddsBlockBytes(const std::uint8_t* code)
{
    if (std::memcmp(code, "DXT1", 4) == 0)
        return 8;
    const bool dxt2to5 = std::memcmp(code, "DXT", 3) == 0 && code[3] >= '2' && code[3] <= '5';
    return dxt2to5 ? 16 : 0;
}

}  // namespace

// Only flat pictures, DXT1 to DXT5 or plain RGB(A) of 16, 24 or 32 bits: the
// textures are two-dimensional, and DevIL's readers of cube maps (which
// crashed on a cube map with faces missing), volume textures and other pixel
// formats are its least tried. DevIL takes the main image's size in bytes
// from the header when it is given, and decodes past its buffer when that is
// short (it did for a bit count of 0x80808080), so it may not be less than
// the pixels need. DevIL also makes as many mipmap levels as the header
// counts and walks them in quadratic time: the count may not exceed the levels
// the larger side has.
std::optional<PictureHeader> readDdsHeader(const PictureBytes& file)
{
    constexpr std::uint32_t pitchGiven = 0x8;
    constexpr std::uint32_t linearSizeGiven = 0x80000;
    constexpr std::uint32_t fourCharacterCode = 0x4;
    constexpr std::uint32_t rgb = 0x40;
    constexpr std::uint32_t cubeMap = 0x200;
    constexpr std::uint32_t volume = 0x200000;
    const std::uint8_t* h = file.data;
    if (!file.has(0, 116) || std::memcmp(h, "DDS ", 4) != 0 || little32(h + 4) != 124)
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

}  // namespace VESK
