#include <cinttypes>
#include <cstdio>
#include <iostream>
#include <memory>

#include "Commands.h"
#include "JsonWriter.h"
#include "debugging/Logging.h"
#include "engine/loaders/CFactoryLoader.h"
#include "engine/loaders/CPicture.h"
#include "engine/loaders/CPictureLoader.h"
#include "engine/loaders/StringUtils.h"

namespace {

std::uint64_t fnv1a64(const std::uint8_t* bytes, std::size_t count)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::size_t i = 0; i < count; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// The factory hands back whatever record the extension's loader makes; only
// the picture loader's extensions give a CPicture. Other files are refused
// with the picture loader's failure message, as the viewer refuses them.
bool hasPictureExtension(const std::string& file)
{
    const std::string::size_type dot = file.rfind('.');
    const std::string extension = dot == std::string::npos ? file : file.substr(dot + 1);
    for (const std::string& word : VESK::splitWords(VESK::CPictureLoader::extensionList))
        if (word == extension)
            return true;
    return false;
}

}  // namespace

int inspectPicture(const std::string& file)
{
    if (!hasPictureExtension(file)) {
        DEBUGGING::logMessage(DEBUGGING::LOG_ERROR, "VESK::CPictureLoader::loadFromFile " + file + " [FAILED]");
        return 1;
    }
    std::unique_ptr<VESK::CPicture> picture(static_cast<VESK::CPicture*>(VESK::CFactoryLoader::loadFromFile(file)));
    if (picture == nullptr)
        return 1;

    char hash[17];
    std::snprintf(hash, sizeof(hash), "%016" PRIx64, fnv1a64(picture->pixels, picture->getByteCount()));
    JsonWriter json(std::cout);
    json.beginObject();
    json.key("width");
    json.value(std::int64_t{picture->size[0]});
    json.key("height");
    json.value(std::int64_t{picture->size[1]});
    json.key("format");
    json.value(std::int64_t{picture->format});
    json.key("bytesPerPixel");
    json.value(std::int64_t{picture->getBytesPerPixel()});
    json.key("fnv1a64");
    json.value(std::string(hash));
    json.endObject();
    std::cout << '\n';
    return 0;
}
