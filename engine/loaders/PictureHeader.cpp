#include "PictureHeader.h"

#include <cctype>

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

std::optional<PictureHeader> bmpHeader(std::istream& in)
{
    std::uint8_t h[26];
    if (!readBytes(in, h, sizeof(h)) || h[0] != 'B' || h[1] != 'M')
        return std::nullopt;
    if (little32(h + 14) == 12)
        return PictureHeader{little16(h + 18), little16(h + 20), 1};
    const std::int64_t height = static_cast<std::int32_t>(little32(h + 22));
    return PictureHeader{static_cast<std::int32_t>(little32(h + 18)), height < 0 ? -height : height, 1};
}

std::optional<PictureHeader> tgaHeader(std::istream& in)
{
    std::uint8_t h[18];
    if (!readBytes(in, h, sizeof(h)))
        return std::nullopt;
    return PictureHeader{little16(h + 12), little16(h + 14), 1};
}

std::optional<PictureHeader> pngHeader(std::istream& in)
{
    std::uint8_t h[24];
    if (!readBytes(in, h, sizeof(h)) || h[12] != 'I' || h[13] != 'H' || h[14] != 'D' || h[15] != 'R')
        return std::nullopt;
    return PictureHeader{big32(h + 16), big32(h + 20), 1};
}

std::optional<PictureHeader> ddsHeader(std::istream& in)
{
    std::uint8_t h[28];
    if (!readBytes(in, h, sizeof(h)) || h[0] != 'D' || h[1] != 'D' || h[2] != 'S' || h[3] != ' ')
        return std::nullopt;
    const std::uint32_t depth = little32(h + 24);
    return PictureHeader{little32(h + 16), little32(h + 12), depth == 0 ? 1 : depth};
}

// The decimal number after white space and # comments; once past 2^40 it
// stops growing (such sizes are refused anyway), so it cannot overflow.
std::optional<std::int64_t> pnmNumber(std::istream& in)
{
    int c = in.get();
    while (c != EOF && (std::isspace(c) || c == '#')) {
        if (c == '#')
            while (c != EOF && c != '\n' && c != '\r')
                c = in.get();
        c = in.get();
    }
    if (c == EOF || !std::isdigit(c))
        return std::nullopt;
    std::int64_t value = 0;
    for (; c != EOF && std::isdigit(c); c = in.get())
        if (value < (std::int64_t{1} << 40))
            value = value * 10 + (c - '0');
    return value;
}

std::optional<PictureHeader> pnmHeader(std::istream& in)
{
    if (in.get() != 'P')
        return std::nullopt;
    const int kind = in.get();
    if (kind < '1' || kind > '6')
        return std::nullopt;
    const std::optional<std::int64_t> width = pnmNumber(in);
    const std::optional<std::int64_t> height = pnmNumber(in);
    if (!width || !height)
        return std::nullopt;
    return PictureHeader{*width, *height, 1};
}

// Walks the marker segments up to the first start-of-frame; fill bytes
// (0xff) before a marker are skipped.
std::optional<PictureHeader> jpegHeader(std::istream& in)
{
    std::uint8_t h[2];
    if (!readBytes(in, h, 2) || h[0] != 0xff || h[1] != 0xd8)
        return std::nullopt;
    for (;;) {
        int kind = in.get();
        if (kind != 0xff)
            return std::nullopt;
        while (kind == 0xff)
            kind = in.get();
        std::uint8_t size[2];
        if (kind == EOF || !readBytes(in, size, 2))
            return std::nullopt;
        const std::uint32_t length = big16(size);
        if (kind >= 0xc0 && kind <= 0xcf && kind != 0xc4 && kind != 0xc8 && kind != 0xcc) {
            std::uint8_t frame[5];
            if (!readBytes(in, frame, sizeof(frame)))
                return std::nullopt;
            return PictureHeader{big16(frame + 3), big16(frame + 1), 1};
        }
        if (kind == 0xda || length < 2)
            return std::nullopt;
        in.seekg(length - 2, std::ios::cur);
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
    if (extension == "ppm" || extension == "pgm")
        return pnmHeader(in);
    if (extension == "jpg" || extension == "jpeg" || extension == "jpe")
        return jpegHeader(in);
    return std::nullopt;
}

bool fitsDevIL(const PictureHeader& header)
{
    constexpr std::int64_t maximumPixels = std::int64_t{1} << 28;
    if (header.width <= 0 || header.height <= 0 || header.depth <= 0)
        return false;
    if (header.width > maximumPixels || header.height > maximumPixels || header.depth > maximumPixels)
        return false;
    return header.width * header.height <= maximumPixels
        && header.width * header.height * header.depth <= maximumPixels;
}

}  // namespace VESK
