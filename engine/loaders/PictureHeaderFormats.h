#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "PictureHeader.h"
#include "PictureHeaderBytes.h"

// The header readers of the picture formats, one file each, that
// readPictureHeader picks by extension. Each returns what the file's header
// declares, or nothing when its magic bytes or fixed fields do not match the
// format or the file ends inside the header.

namespace VESK {

// Sizes are multiplied only once both sides are known to be in range, so the
// products cannot overflow; fitsDevIL refuses the other headers anyway.
inline bool sidesInRange(std::int64_t width, std::int64_t height)
{
    return width > 0 && width <= maximumPictureSide && height > 0 && height <= maximumPictureSide;
}

std::optional<PictureHeader> readBmpHeader(const PictureBytes& file);
std::optional<PictureHeader> readTgaHeader(const PictureBytes& file);
std::optional<PictureHeader> readPngHeader(const PictureBytes& file);
std::optional<PictureHeader> readDdsHeader(const PictureBytes& file);
// magic is "P6" for a colour map (.ppm), "P5" for a grey one (.pgm).
std::optional<PictureHeader> readPnmHeader(const PictureBytes& file, const std::string& magic);
std::optional<PictureHeader> readJpegHeader(const PictureBytes& file);

}  // namespace VESK
