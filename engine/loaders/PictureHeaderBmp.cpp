#include "PictureHeaderFormats.h"

#include <algorithm>

// The BMP header: the 14-byte file header, then an info header of 12 bytes
// (OS/2) or of 40 to 124 (Windows).

namespace VESK {

namespace {

// Bytes of one row of an uncompressed BMP: whole 32-bit words.
std::int64_t bmpRowBytes(std::int64_t width, std::uint32_t bits)
{
    return (width * bits + 31) / 32 * 4;
}

// The OS/2 header: 16-bit sides and a colour table of 3-byte entries, as many
// as the depth addresses. DevIL reads the rows of a 1-bit one wrongly when its
// width is no multiple of 8, with colours from outside its table: refused.
std::optional<PictureHeader> readCoreHeader(const std::uint8_t* h, std::uint32_t dataOffset)
{
    const std::uint32_t bits = little16(h + 24);
    if (bits != 4 && bits != 8 && bits != 24)
        return std::nullopt;
    const std::int64_t width = little16(h + 18);
    const std::int64_t height = little16(h + 20);
    const std::int64_t tableEnd = 26 + (bits <= 8 ? 3 << bits : 0);
    if (!sidesInRange(width, height))
        return PictureHeader{width, height};
    return PictureHeader{width, height, std::max<std::int64_t>(tableEnd, dataOffset + bmpRowBytes(width, bits) * height)};
}

}  // namespace

// The colour table sits between the headers and the pixels; DevIL sizes it
// from the declared count in 32 bits, so the count must be one a bitmap can
// have and the table must lie inside the file.
std::optional<PictureHeader> readBmpHeader(const PictureBytes& file)
{
    const std::uint8_t* h = file.data;
    if (!file.has(0, 26) || h[0] != 'B' || h[1] != 'M')
        return std::nullopt;
    const std::uint32_t dataOffset = little32(h + 10);
    const std::uint32_t infoSize = little32(h + 14);
    if (infoSize == 12)
        return readCoreHeader(h, dataOffset);
    if (infoSize < 40 || infoSize > 124 || !file.has(0, 50))
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

}  // namespace VESK
