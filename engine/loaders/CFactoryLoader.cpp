#include "CFactoryLoader.h"

#include "../../debugging/CException.h"
#include "../../debugging/Logging.h"
#include "StringUtils.h"

namespace VESK {

void CFactoryLoader::registerLoader(VLoader* loader)
{
    const std::vector<std::string> words = splitWords(toLower(loader->extensions));
    if (words.empty())
        return;
    std::map<std::string, CSharedPtr<VLoader>>& loaders = getInstance().loaders;
    const CSharedPtr<VLoader> handle(loader);
    for (const std::string& word : words) {
        if (!loaders.emplace(word, handle).second)
            DEBUGGING::logMessage(DEBUGGING::LOG_ERROR, "VESK::CFactoryLoader::registerLoader : " + word + " [FAILED]");
    }
}

void* CFactoryLoader::loadFromFile(std::string path)
{
    const std::size_t dot = path.rfind('.');
    const std::string extension = dot == std::string::npos ? path : path.substr(dot + 1);
    std::map<std::string, CSharedPtr<VLoader>>& loaders = getInstance().loaders;
    const auto found = loaders.find(extension);
    if (found == loaders.end()) {
        DEBUGGING::logMessage(DEBUGGING::LOG_ERROR, "VESK::CFactoryLoader::loadFromFile : " + extension + " [NOT FOUND]");
        return nullptr;
    }
    try {
        return found->second->loadFromFile(path);
    } catch (const DEBUGGING::CException& failure) {
        DEBUGGING::logMessage(DEBUGGING::LOG_ERROR, failure.what());
        return nullptr;
    }
}

void CFactoryLoader::clear()
{
    loaders.clear();
}

}  // namespace VESK
