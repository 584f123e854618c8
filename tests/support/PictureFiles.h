#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builders of small picture files, byte by byte, for the tests of the picture
// loader and of vesk-inspect: each returns the whole file as a string. Pixel
// arrays are given top row first, as CPicture holds them.
namespace PictureFiles {

inline void put32(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((value >> shift) & 0xff);
}

// An uncompressed BMP with 24-bit BGR pixels, or with 8-bit indices into a
// palette of BGR colours; rows are stored bottom-up and padded to 4 bytes.
inline std::string bmp(int width, int height, const std::vector<std::uint8_t>& pixels,
                       const std::vector<std::uint8_t>& paletteBgr = {})
{
    const int bits = paletteBgr.empty() ? 24 : 8;
    const int bytesPerPixel = bits / 8;
    const int rowBytes = (width * bytesPerPixel + 3) / 4 * 4;
    const int colours = static_cast<int>(paletteBgr.size() / 3);
    const std::uint32_t dataOffset = 14 + 40 + 4 * colours;
    std::string out = "BM";
    // File size, reserved, pixel offset; info header size, sides, planes and
    // depth, no compression, pixel bytes, resolution, colours, all important.
    for (const std::uint32_t field : {dataOffset + rowBytes * height, 0u, dataOffset, 40u, std::uint32_t(width),
                                      std::uint32_t(height), 1u + (bits << 16), 0u, std::uint32_t(rowBytes * height),
                                      2835u, 2835u, std::uint32_t(colours), 0u})
        put32(out, field);
    for (int i = 0; i < colours; ++i) {
        out.append(reinterpret_cast<const char*>(&paletteBgr[3 * i]), 3);
        out += '\0';
    }
    for (int y = height - 1; y >= 0; --y) {
        out.append(reinterpret_cast<const char*>(&pixels[y * width * bytesPerPixel]), width * bytesPerPixel);
        out.append(rowBytes - width * bytesPerPixel, '\0');
    }
    return out;
}

// A TGA of the given image type (1 colour-mapped, 2 true colour, 3 grey, 8
// more for run-length packets) with its pixel data stored as given, top row
// first; colourMap holds the entries of mapBits bits each, or nothing.
inline std::string tga(int imageType, int width, int height, int bits, const std::string& stored,
                       const std::string& colourMap = "", int mapBits = 0)
{
    // No image ID; the map's first entry, length and bits; origin; sides;
    // bits per pixel; rows stored top first.
    const int mapLength = colourMap.empty() ? 0 : static_cast<int>(colourMap.size()) * 8 / mapBits;
    std::string out{'\0', static_cast<char>(colourMap.empty() ? 0 : 1), static_cast<char>(imageType), 0, 0};
    out += {static_cast<char>(mapLength), static_cast<char>(mapLength >> 8), static_cast<char>(mapBits)};
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(width) | static_cast<std::uint32_t>(height) << 16);
    out += {static_cast<char>(bits), '\x20'};
    return out + colourMap + stored;
}

// A binary PGM with 8-bit grey levels.
inline std::string pgm(int width, int height, const std::vector<std::uint8_t>& grey)
{
    std::string out = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    out.append(reinterpret_cast<const char*>(grey.data()), grey.size());
    return out;
}

}  // namespace PictureFiles
