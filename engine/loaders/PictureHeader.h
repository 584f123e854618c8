#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// What a picture file's header declares, read before DevIL sees the file.
// DevIL 1.7.8 computes image sizes in 32 bits and trusts headers: hostile sizes
// make it wrap, write past its buffers or free twice (BMP, TGA, PNM), so only
// files whose header is plausible for their extension may reach it.

namespace VESK {

struct PictureHeader {
    std::int64_t width;
    std::int64_t height;
    // The least number of bytes the whole file must have to hold the declared
    // pixels: exact for uncompressed BMP, TGA and PNM, for DDS and for the
    // run-length packets of a TGA; for run-length BMP, PNG and JPEG what the
    // best compression the format allows needs.
    std::int64_t minimumFileSize = 0;
};

// The largest width or height the loader accepts.
constexpr std::int64_t maximumPictureSide = 16384;

// The header of a file of the given lower-case extension (one of the picture
// loader's), read from the whole file's bytes, size of them at bytes; nothing
// when its magic bytes or fixed fields do not match the extension or the
// header is cut short.
std::optional<PictureHeader> readPictureHeader(const std::uint8_t* bytes, std::size_t size,
                                               const std::string& extension);

// True when both sides are positive and at most maximumPictureSide (DevIL's
// 32-bit arithmetic then holds the image even at 16 bytes per pixel), and a
// file of fileSize bytes can hold the pixels.
bool fitsDevIL(const PictureHeader& header, std::int64_t fileSize);

}  // namespace VESK
