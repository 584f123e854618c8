#pragma once

#include <cstddef>
#include <cstdint>

#include "../../math/CMyVector.h"

// A picture as the engine hands it around: width, height, a pixel format and a
// tightly packed pixel array, top row first. A plain value record that owns its
// pixels; whoever received it from a loader deletes it once a texture has
// copied what it needs.

namespace VESK {

// Values are fixed: the texture's format table is indexed by them.
enum PictureFormat : int {
    PICTURE_BGR = 0,
    PICTURE_BGRA = 1,
    PICTURE_LUMINANCE = 2,
};

class CPicture {
public:
    // Copies width x height x bytes-per-pixel bytes from source, or zeros when
    // source is null. Throws std::length_error when a side is not positive or
    // the byte count exceeds the largest 32-bit int.
    CPicture(const CMyVector<int, 2>& size, int format, const std::uint8_t* source);
    // Allocates the pixels and leaves them unwritten, for a loader that fills
    // every byte itself. Throws like the constructor above.
    CPicture(const CMyVector<int, 2>& size, int format);
    CPicture(const CPicture& other);
    CPicture& operator=(const CPicture& other);
    ~CPicture();

    // 3, 4 or 1 for the three formats, 0 for any other code.
    static int bytesPerPixelOf(int format);
    // The byte count of a width x height picture of the format, or -1 when a
    // side is not positive or the count does not fit a 32-bit int.
    static std::int64_t byteCountOf(std::int64_t width, std::int64_t height, int format);

    int getBytesPerPixel() const { return bytesPerPixelOf(format); }
    std::size_t getByteCount() const;

    // Reverses the order of the rows in place.
    void flipVertically();

    CMyVector<int, 2> size;
    int format;
    std::uint8_t* pixels;
};

}  // namespace VESK
