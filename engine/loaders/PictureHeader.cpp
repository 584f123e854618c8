#include "PictureHeader.h"

#include "PictureHeaderFormats.h"

namespace VESK {

std::optional<PictureHeader> readPictureHeader(const std::uint8_t* bytes, std::size_t size,
                                               const std::string& extension)
{
    const PictureBytes file{bytes, static_cast<std::int64_t>(size)};
    if (extension == "bmp")
        return readBmpHeader(file);
    if (extension == "tga")
        return readTgaHeader(file);
    if (extension == "png")
        return readPngHeader(file);
    if (extension == "dds")
        return readDdsHeader(file);
    if (extension == "ppm")
        return readPnmHeader(file, "P6");
    if (extension == "pgm")
        return readPnmHeader(file, "P5");
    if (extension == "jpg" || extension == "jpeg" || extension == "jpe")
        return readJpegHeader(file);
    return std::nullopt;
}

bool fitsDevIL(const PictureHeader& header, std::int64_t fileSize)
{
    return sidesInRange(header.width, header.height) && header.minimumFileSize <= fileSize;
}

}  // namespace VESK
