#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "debugging/CException.h"
#include "engine/loaders/CFactoryLoader.h"
#include "support/LoggedWorkDir.h"

using namespace VESK;

namespace {

std::vector<std::string> destroyed;

// A loader that records its destruction; it throws for paths containing "bad"
// and otherwise returns a copy of its tag.
struct RecordingLoader : VLoader {
    RecordingLoader(std::string list, std::string tag) : VLoader(std::move(list)), tag(std::move(tag)) {}
    ~RecordingLoader() override { destroyed.push_back(tag); }

    void* loadFromFile(std::string path) override
    {
        if (path.find("bad") != std::string::npos)
            throw DEBUGGING::CException("VESK::RecordingLoader::loadFromFile " + path + " [FAILED]");
        return new std::string(tag);
    }
    void saveToFile(void*, std::string) override {}

    std::string tag;
};

std::string load(const std::string& path)
{
    const std::unique_ptr<std::string> record(static_cast<std::string*>(CFactoryLoader::loadFromFile(path)));
    return record ? *record : "(null)";
}

using FactoryLoaderTest = LoggedWorkDir;

}  // namespace

TEST_F(FactoryLoaderTest, TheTextAfterTheLastDotPicksTheLoaderAndEveryFailureIsLoggedOnce)
{
    CFactoryLoader::registerLoader(new RecordingLoader("BMP  Jpg gz", "picture"));
    CFactoryLoader::registerLoader(new RecordingLoader("obj", "mesh"));
    // A loader whose every extension is taken is destroyed at once; one that
    // lists its own extension twice, or none, is kept by its owner.
    CFactoryLoader::registerLoader(new RecordingLoader("obj jpg", "late"));
    EXPECT_EQ(destroyed, std::vector<std::string>{"late"});
    CFactoryLoader::registerLoader(new RecordingLoader("tga TGA", "twice"));
    RecordingLoader blank(" \t ", "blank");
    CFactoryLoader::registerLoader(&blank);

    const std::vector<std::pair<std::string, std::string>> loads{
        {"x.bmp", "picture"},      {"x.jpg", "picture"},  {"x.tga", "twice"},         {"Data/tree.obj", "mesh"},
        {"Data/tree.OBJ", "(null)"}, {"a.tar.gz", "picture"}, {"Data/noext", "(null)"}, {"./Data/noext", "(null)"},
        {"trailing.", "(null)"},   {"Data/bad.obj", "(null)"}};
    for (const auto& [path, tag] : loads)
        EXPECT_EQ(load(path), tag) << path;

    CFactoryLoader::getInstance().clear();
    std::sort(destroyed.begin(), destroyed.end());
    EXPECT_EQ(destroyed, (std::vector<std::string>{"late", "mesh", "picture", "twice"}));
    EXPECT_EQ(load("x.bmp"), "(null)");

    EXPECT_EQ(logBody("T -> [ ERROR ] VESK::"), (std::vector<std::string>{
        "CFactoryLoader::registerLoader : obj [FAILED]",
        "CFactoryLoader::registerLoader : jpg [FAILED]",
        "CFactoryLoader::registerLoader : tga [FAILED]",
        "CFactoryLoader::loadFromFile : OBJ [NOT FOUND]",
        "CFactoryLoader::loadFromFile : Data/noext [NOT FOUND]",
        "CFactoryLoader::loadFromFile : /Data/noext [NOT FOUND]",
        "CFactoryLoader::loadFromFile :  [NOT FOUND]",
        "RecordingLoader::loadFromFile Data/bad.obj [FAILED]",
        "CFactoryLoader::loadFromFile : bmp [NOT FOUND]",
    }));
}
