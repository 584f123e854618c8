#include "CPictureLoader.h"

#include <IL/il.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <new>
#include <optional>

#include "../../debugging/CException.h"
#include "CPicture.h"
#include "PictureHeader.h"
#include "StringUtils.h"

namespace VESK {

namespace {

// Empties DevIL's error stack, so that the next error read belongs to the
// operation that follows.
void clearErrors()
{
    while (ilGetError() != IL_NO_ERROR) {
    }
}

// One DevIL image, generated and bound for the duration of a load or save.
class BoundImage {
public:
    BoundImage()
    {
        ilGenImages(1, &name);
        ilBindImage(name);
    }
    ~BoundImage() { ilDeleteImages(1, &name); }

    BoundImage(const BoundImage&) = delete;
    BoundImage& operator=(const BoundImage&) = delete;

private:
    ILuint name = 0;
};

// The DevIL file type of the loader's extensions (lower case), or IL_TYPE_UNKNOWN.
ILenum fileTypeOf(const std::string& extension)
{
    static const std::map<std::string, ILenum> types{
        {"bmp", IL_BMP}, {"dds", IL_DDS}, {"jpg", IL_JPG}, {"jpeg", IL_JPG}, {"jpe", IL_JPG},
        {"png", IL_PNG}, {"ppm", IL_PNM}, {"pgm", IL_PNM}, {"tga", IL_TGA}};
    const auto type = types.find(extension);
    return type == types.end() ? IL_TYPE_UNKNOWN : type->second;
}

// A regular file's bytes, mapped read-only while its header is checked: the
// checks touch only the pages they look at (a header, the heads of PNG
// chunks), however large the file. readable is false for anything but a
// regular file that could be mapped; nothing else is opened (a device may act
// on being opened), and the file is opened without blocking, so that a FIFO
// put in its place meanwhile is refused instead of waited for.
class MappedFile {
public:
    explicit MappedFile(const std::string& fileName)
    {
        struct stat status {};
        if (::stat(fileName.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            return;
        const int descriptor = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0)
            return;
        if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
            size = static_cast<std::size_t>(status.st_size);
            // An empty file has nothing to map; its header is refused.
            void* mapped = size == 0 ? nullptr : ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor, 0);
            readable = mapped != MAP_FAILED;
            bytes = readable ? mapped : nullptr;
        }
        // The mapping outlives the descriptor.
        ::close(descriptor);
    }
    ~MappedFile()
    {
        if (bytes != nullptr)
            ::munmap(bytes, size);
    }

    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool readable = false;
    void* bytes = nullptr;
    std::size_t size = 0;
};

// The file type DevIL must read the file as, decided by its extension (case
// ignored), or IL_TYPE_UNKNOWN when the file must not reach DevIL: an
// extension not the loader's, or a header that does not match the extension
// or declares a size DevIL cannot hold or the file cannot fill.
ILenum checkedFileType(const std::string& fileName)
{
    const std::string::size_type dot = fileName.rfind('.');
    if (dot == std::string::npos)
        return IL_TYPE_UNKNOWN;
    const std::string extension = toLower(fileName.substr(dot + 1));
    const ILenum type = fileTypeOf(extension);
    if (type == IL_TYPE_UNKNOWN)
        return IL_TYPE_UNKNOWN;
    const MappedFile file(fileName);
    const std::optional<PictureHeader> header =
        file.readable ? readPictureHeader(static_cast<const std::uint8_t*>(file.bytes), file.size, extension)
                      : std::nullopt;
    if (!header || !fitsDevIL(*header, static_cast<std::int64_t>(file.size)))
        return IL_TYPE_UNKNOWN;
    return type;
}

bool paletteHasAlpha()
{
    const ILint palette = ilGetInteger(IL_PALETTE_TYPE);
    return palette == IL_PAL_RGBA32 || palette == IL_PAL_BGRA32;
}

// Copies RGB (Step 3) or RGBA (Step 4) pixels into the picture as BGR(A): the
// first and third byte of every pixel exchanged, in one pass.
template <std::size_t Step>
void copySwappingRedAndBlue(const std::uint8_t* source, CPicture& picture)
{
    const std::size_t byteCount = picture.getByteCount();
    std::uint8_t* target = picture.pixels;
    for (std::size_t i = 0; i < byteCount; i += Step) {
        target[i] = source[i + 2];
        target[i + 1] = source[i + 1];
        target[i + 2] = source[i];
        if (Step == 4)
            target[i + 3] = source[i + 3];
    }
}

// True when every index of the bound colour-index image names a colour of its
// palette: DevIL converts an index past the palette by reading past it.
bool indicesInPalette(ILint width, ILint height)
{
    const ILubyte* indices = ilGetData();
    const ILint colours = ilGetInteger(IL_PALETTE_NUM_COLS);
    const std::int64_t count = std::int64_t{width} * height;
    if (indices == nullptr || ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL) != 1
        || static_cast<std::int64_t>(static_cast<ILuint>(ilGetInteger(IL_IMAGE_SIZE_OF_DATA))) < count)
        return false;
    return std::all_of(indices, indices + count, [colours](ILubyte index) { return index < colours; });
}

// DevIL computes image sizes in 32 bits; a hostile header can leave it with
// less data than the picture needs, so never copy more than it has.
bool holdsWholePicture(const ILubyte* data, ILint width, ILint height, int pictureFormat, std::int64_t byteCount)
{
    return data != nullptr && ilGetInteger(IL_IMAGE_WIDTH) == width && ilGetInteger(IL_IMAGE_HEIGHT) == height
           && ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL) == CPicture::bytesPerPixelOf(pictureFormat)
           && static_cast<std::int64_t>(static_cast<ILuint>(ilGetInteger(IL_IMAGE_SIZE_OF_DATA))) >= byteCount;
}

// The picture of DevIL's data, red and blue exchanged on the way when
// `swap`; null when there is no memory for it (a small compressed file may
// declare a picture of a gigabyte).
CPicture* newPicture(const ILubyte* data, ILint width, ILint height, int pictureFormat, bool swap)
{
    try {
        const CMyVector<int, 2> size(width, height);
        if (!swap)
            return new CPicture(size, pictureFormat, data);
        auto* picture = new CPicture(size, pictureFormat);
        if (pictureFormat == PICTURE_BGRA)
            copySwappingRedAndBlue<4>(data, *picture);
        else
            copySwappingRedAndBlue<3>(data, *picture);
        return picture;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Puts the picture's top row first. DevIL's OS/2 bitmap reader leaves the rows
// bottom first, whatever origin was asked for, and says so in the image's origin.
void putTopRowFirst(CPicture& picture)
{
    const std::size_t rowBytes = picture.getByteCount() / static_cast<std::size_t>(picture.size[1]);
    std::uint8_t* top = picture.pixels;
    std::uint8_t* bottom = picture.pixels + picture.getByteCount() - rowBytes;
    for (; top < bottom; top += rowBytes, bottom -= rowBytes)
        std::swap_ranges(top, top + rowBytes, bottom);
}

}  // namespace

CPictureLoader::CPictureLoader() : VLoader(extensionList)
{
    ilInit();
    ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
    ilEnable(IL_ORIGIN_SET);
    ilEnable(IL_FILE_OVERWRITE);
    pictureFormatByBpp = {{1, PICTURE_LUMINANCE}, {3, PICTURE_BGR}, {4, PICTURE_BGRA}};
    ilFormatByBpp = {{1, IL_LUMINANCE}, {3, IL_BGR}, {4, IL_BGRA}};
}

CPictureLoader::~CPictureLoader()
{
    ilShutDown();
}

void* CPictureLoader::loadFromFile(std::string fileName)
{
    const std::string failure = "VESK::CPictureLoader::loadFromFile " + fileName + " [FAILED]";
    const ILenum fileType = checkedFileType(fileName);
    if (fileType == IL_TYPE_UNKNOWN)
        throw DEBUGGING::CException(failure);
    clearErrors();
    BoundImage image;
    // The type is named, so DevIL never guesses a reader from the contents.
    // It may report success and still have recorded an error on the way (a
    // truncated file, for instance): both mean the image is not whole.
    if (!ilLoad(fileType, fileName.c_str()) || ilGetError() != IL_NO_ERROR)
        throw DEBUGGING::CException(failure);

    const ILint height = ilGetInteger(IL_IMAGE_HEIGHT);
    const ILint width = ilGetInteger(IL_IMAGE_WIDTH);
    // Every channel becomes one byte, so the picture's bytes per pixel are the
    // image's channels, whatever width the file stored them in.
    const ILint channels = ilGetInteger(IL_IMAGE_CHANNELS);

    ILint ilFormat = IL_BGR;
    int pictureFormat = PICTURE_BGR;
    // A palette image has one byte per pixel too, but those bytes are indices:
    // it becomes colour, with alpha when its palette carries some.
    if (ilGetInteger(IL_IMAGE_FORMAT) == IL_COLOUR_INDEX) {
        if (!indicesInPalette(width, height))
            throw DEBUGGING::CException(failure);
        if (paletteHasAlpha()) {
            ilFormat = IL_BGRA;
            pictureFormat = PICTURE_BGRA;
        }
    } else if (ilFormatByBpp.count(channels) != 0) {
        ilFormat = ilFormatByBpp[channels];
        pictureFormat = pictureFormatByBpp[channels];
    }

    const std::int64_t byteCount = CPicture::byteCountOf(width, height, pictureFormat);
    if (byteCount < 0)
        throw DEBUGGING::CException(failure);

    // PNG and others arrive as 8-bit RGB or RGBA. DevIL would convert those
    // into a second buffer and the picture would then copy it: one pass that
    // exchanges red and blue on the way into the picture gives the same bytes.
    const ILint imageFormat = ilGetInteger(IL_IMAGE_FORMAT);
    const bool swapInPicture = ilGetInteger(IL_IMAGE_TYPE) == IL_UNSIGNED_BYTE
        && ((imageFormat == IL_RGB && ilFormat == IL_BGR) || (imageFormat == IL_RGBA && ilFormat == IL_BGRA));
    if (!swapInPicture && !ilConvertImage(ilFormat, IL_UNSIGNED_BYTE))
        throw DEBUGGING::CException(failure);

    const ILubyte* data = ilGetData();
    CPicture* picture = holdsWholePicture(data, width, height, pictureFormat, byteCount)
                            ? newPicture(data, width, height, pictureFormat, swapInPicture)
                            : nullptr;
    if (picture == nullptr)
        throw DEBUGGING::CException(failure);
    if (ilGetInteger(IL_IMAGE_ORIGIN) == IL_ORIGIN_LOWER_LEFT)
        putTopRowFirst(*picture);
    return picture;
}

void CPictureLoader::saveToFile(void* record, std::string fileName)
{
    const std::string failure = "VESK::CPictureLoader::saveToFile " + fileName + " [FAILED]";
    if (record == nullptr)
        throw DEBUGGING::CException(failure);
    // DevIL takes new image data bottom row first.
    CPicture copy(*static_cast<const CPicture*>(record));
    copy.flipVertically();

    clearErrors();
    BoundImage image;
    const int bpp = copy.getBytesPerPixel();
    if (ilFormatByBpp.count(bpp) == 0)
        throw DEBUGGING::CException(failure);
    if (!ilTexImage(copy.size[0], copy.size[1], 1, static_cast<ILubyte>(bpp), ilFormatByBpp[bpp],
                    IL_UNSIGNED_BYTE, copy.pixels)
        || !ilSaveImage(fileName.c_str()))
        throw DEBUGGING::CException(failure);
}

}  // namespace VESK
