#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>

// The image size a picture file declares in its header, read before DevIL
// sees the file: DevIL computes image sizes in 32 bits, and hostile sizes make
// it wrap, write past its buffers or free twice (BMP, TGA, PNM), so such files
// must never reach it.

namespace VESK {

struct PictureHeader {
    std::int64_t width;
    std::int64_t height;
    std::int64_t depth;
};

// The size declared by a file of the given lower-case extension (one of the
// picture loader's), or nothing when the header cannot be read (DevIL then
// refuses the file on its own).
std::optional<PictureHeader> readPictureHeader(std::istream& in, const std::string& extension);

// True when DevIL's 32-bit arithmetic holds the image even at 16 bytes per
// pixel (four float channels): at most 2^28 pixels, and every side positive.
bool fitsDevIL(const PictureHeader& header);

}  // namespace VESK
