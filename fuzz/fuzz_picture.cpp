#include <memory>
#include <optional>

#include "FuzzInput.h"
#include "debugging/CException.h"
#include "engine/loaders/CPicture.h"
#include "engine/loaders/CPictureLoader.h"
#include "engine/loaders/PictureHeader.h"

// The first byte of each input picks one of the loader's extensions, the rest
// is the file: headers that do not match their extension are exercised too.
// The header check reads the bytes where they lie; DevIL reads files only, so
// an input that passes the check is written out and loaded through the loader.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const char* const extensions[] = {"bmp", "dds", "jpg", "jpeg", "jpe", "png", "ppm", "tga", "pgm"};
    static VESK::CPictureLoader loader;
    if (size == 0)
        return 0;
    const std::string extension = extensions[data[0] % 9];
    const std::optional<VESK::PictureHeader> header = VESK::readPictureHeader(data + 1, size - 1, extension);
    if (!header || !VESK::fitsDevIL(*header, static_cast<std::int64_t>(size - 1)))
        return 0;
    const std::string path = writeFuzzInput(data + 1, size - 1, "." + extension);
    try {
        std::unique_ptr<VESK::CPicture> picture(static_cast<VESK::CPicture*>(loader.loadFromFile(path)));
    } catch (const DEBUGGING::CException&) {
    }
    return 0;
}
