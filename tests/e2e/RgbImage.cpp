#include "RgbImage.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>

namespace {

void appendBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 24));
    bytes.push_back(static_cast<std::uint8_t>(value >> 16));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}

// One PNG chunk: length, type, data, and the CRC over type and data.
void appendChunk(std::vector<std::uint8_t>& file, const char* type, const std::vector<std::uint8_t>& data)
{
    appendBigEndian(file, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, file.data() + typeStart, static_cast<uInt>(file.size() - typeStart));
    appendBigEndian(file, static_cast<std::uint32_t>(crc));
}

bool writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

bool RgbImage::Pixel::operator==(const Pixel& other) const
{
    return red == other.red && green == other.green && blue == other.blue;
}

RgbImage::RgbImage(int width, int height)
    : imageWidth(width > 0 && height > 0 ? width : 0)
    , imageHeight(width > 0 && height > 0 ? height : 0)
    , samples(static_cast<std::size_t>(imageWidth) * static_cast<std::size_t>(imageHeight) * 3, 0)
{
}

RgbImage::Pixel RgbImage::at(int x, int y) const
{
    const std::size_t offset = (static_cast<std::size_t>(y) * static_cast<std::size_t>(imageWidth) + static_cast<std::size_t>(x)) * 3;
    return Pixel{samples.at(offset), samples.at(offset + 1), samples.at(offset + 2)};
}

void RgbImage::set(int x, int y, Pixel pixel)
{
    const std::size_t offset = (static_cast<std::size_t>(y) * static_cast<std::size_t>(imageWidth) + static_cast<std::size_t>(x)) * 3;
    samples.at(offset) = pixel.red;
    samples.at(offset + 1) = pixel.green;
    samples.at(offset + 2) = pixel.blue;
}

bool RgbImage::operator==(const RgbImage& other) const
{
    return imageWidth == other.imageWidth && imageHeight == other.imageHeight && samples == other.samples;
}

bool RgbImage::savePng(const std::string& path) const
{
    if (empty())
        return false;

    // Every row is preceded by its filter byte; filter 0 keeps the row as it is.
    const std::size_t rowBytes = static_cast<std::size_t>(imageWidth) * 3;
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(imageHeight));
    for (int y = 0; y < imageHeight; ++y) {
        raw.push_back(0);
        const auto row = samples.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y));
        raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }
    uLongf compressedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> compressed(compressedSize);
    if (compress2(compressed.data(), &compressedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return false;
    compressed.resize(compressedSize);

    std::vector<std::uint8_t> header;
    appendBigEndian(header, static_cast<std::uint32_t>(imageWidth));
    appendBigEndian(header, static_cast<std::uint32_t>(imageHeight));
    header.push_back(8); // bits per sample
    header.push_back(2); // colour type: RGB
    header.push_back(0); // compression: deflate
    header.push_back(0); // filter method
    header.push_back(0); // no interlace

    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    appendChunk(file, "IHDR", header);
    appendChunk(file, "IDAT", compressed);
    appendChunk(file, "IEND", {});
    return writeBytes(path, file);
}
