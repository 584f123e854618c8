#include "CPicture.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

namespace VESK {

namespace {

std::uint8_t* allocatePixels(const CMyVector<int, 2>& size, int format)
{
    const std::int64_t count = CPicture::byteCountOf(size[0], size[1], format);
    if (count < 0)
        throw std::length_error("CPicture: unsupported picture size");
    return new std::uint8_t[static_cast<std::size_t>(count)];
}

}  // namespace

CPicture::CPicture(const CMyVector<int, 2>& size, int format, const std::uint8_t* source)
    : size(size), format(format), pixels(allocatePixels(size, format))
{
    if (source != nullptr)
        std::memcpy(pixels, source, getByteCount());
    else
        std::memset(pixels, 0, getByteCount());
}

CPicture::CPicture(const CMyVector<int, 2>& size, int format)
    : size(size), format(format), pixels(allocatePixels(size, format))
{
}

CPicture::CPicture(const CPicture& other) : CPicture(other.size, other.format, other.pixels) {}

CPicture& CPicture::operator=(const CPicture& other)
{
    if (this == &other)
        return *this;
    std::uint8_t* copy = allocatePixels(other.size, other.format);
    delete[] pixels;
    pixels = copy;
    size = other.size;
    format = other.format;
    std::memcpy(pixels, other.pixels, getByteCount());
    return *this;
}

CPicture::~CPicture()
{
    delete[] pixels;
}

int CPicture::bytesPerPixelOf(int format)
{
    switch (format) {
    case PICTURE_BGR:
        return 3;
    case PICTURE_BGRA:
        return 4;
    case PICTURE_LUMINANCE:
        return 1;
    default:
        return 0;
    }
}

std::int64_t CPicture::byteCountOf(std::int64_t width, std::int64_t height, int format)
{
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return -1;
    const std::int64_t count = width * height * bytesPerPixelOf(format);
    return count > INT_MAX ? -1 : count;
}

std::size_t CPicture::getByteCount() const
{
    return static_cast<std::size_t>(size[0]) * static_cast<std::size_t>(size[1]) * getBytesPerPixel();
}

void CPicture::flipVertically()
{
    const std::size_t row = static_cast<std::size_t>(size[0]) * getBytesPerPixel();
    const int height = size[1];
    for (int i = 0; i < height / 2; ++i)
        std::swap_ranges(pixels + i * row, pixels + (i + 1) * row, pixels + (height - 1 - i) * row);
}

}  // namespace VESK
