#include <algorithm>
#include <string>
#include <vector>

#include "debugging/CException.h"
#include "engine/loaders/CFactoryLoader.h"
#include "support/LoggedWorkDir.h"

using namespace VESK;

namespace {

// A loader that records the paths it was asked for and how often loaders of
// its kind were destroyed; it throws for paths containing "bad".
struct RecordingLoader : VLoader {
    explicit RecordingLoader(std::string list, std::string tag = "") : VLoader(std::move(list)), tag(std::move(tag)) {}
    ~RecordingLoader() override { destroyed.push_back(tag); }

    void* loadFromFile(std::string path) override
    {
        seen.push_back(path);
        if (path.find("bad") != std::string::npos)
            throw DEBUGGING::CException("VESK::RecordingLoader::loadFromFile " + path + " [FAILED]");
        return new std::string(tag);
    }
    void saveToFile(void*, std::string) override {}

    std::string tag;
    static inline std::vector<std::string> seen;
    static inline std::vector<std::string> destroyed;
};

class FactoryLoaderTest : public LoggedWorkDir {
protected:
    void SetUp() override
    {
        LoggedWorkDir::SetUp();
        RecordingLoader::seen.clear();
        RecordingLoader::destroyed.clear();
    }
    void TearDown() override
    {
        CFactoryLoader::getInstance().clear();
        LoggedWorkDir::TearDown();
    }

    static std::string load(const std::string& path)
    {
        std::string* record = static_cast<std::string*>(CFactoryLoader::loadFromFile(path));
        if (record == nullptr)
            return "(null)";
        const std::string tag = *record;
        delete record;
        return tag;
    }

    void expectBody(const std::vector<std::string>& expected)
    {
        const std::vector<std::string> lines = logBody();
        ASSERT_EQ(lines.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(isStampedLine(lines[i], expected[i])) << lines[i] << "\nexpected: " << expected[i];
    }
};

}  // namespace

TEST_F(FactoryLoaderTest, RegistrationLowerCasesAndRejectsTakenExtensions)
{
    CFactoryLoader::registerLoader(new RecordingLoader("BMP  Jpg png", "picture"));
    CFactoryLoader::registerLoader(new RecordingLoader("obj", "mesh"));
    CFactoryLoader::registerLoader(new RecordingLoader("obj png", "late"));
    EXPECT_EQ(RecordingLoader::destroyed, std::vector<std::string>{"late"});
    CFactoryLoader::registerLoader(new RecordingLoader("tga TGA", "twice"));
    EXPECT_EQ(RecordingLoader::destroyed, std::vector<std::string>{"late"});
    RecordingLoader blank(" \t ", "blank");
    CFactoryLoader::registerLoader(&blank);
    CFactoryLoader::registerLoader(new RecordingLoader("Mixed", "mixed"));

    EXPECT_EQ(load("x.bmp"), "picture");
    EXPECT_EQ(load("x.jpg"), "picture");
    EXPECT_EQ(load("Data/tree.obj"), "mesh");
    EXPECT_EQ(load("x.tga"), "twice");
    EXPECT_EQ(load("x.mixed"), "mixed");
    EXPECT_EQ(RecordingLoader::seen,
              (std::vector<std::string>{"x.bmp", "x.jpg", "Data/tree.obj", "x.tga", "x.mixed"}));

    expectBody({
        " -> [ ERROR ] VESK::CFactoryLoader::registerLoader : obj [FAILED]",
        " -> [ ERROR ] VESK::CFactoryLoader::registerLoader : png [FAILED]",
        " -> [ ERROR ] VESK::CFactoryLoader::registerLoader : tga [FAILED]",
    });

    CFactoryLoader::getInstance().clear();
    std::vector<std::string> gone = RecordingLoader::destroyed;
    std::sort(gone.begin(), gone.end());
    EXPECT_EQ(gone, (std::vector<std::string>{"late", "mesh", "mixed", "picture", "twice"}));
    EXPECT_EQ(load("x.bmp"), "(null)");
}

TEST_F(FactoryLoaderTest, LookupUsesTheTextAfterTheLastDotUnchanged)
{
    CFactoryLoader::registerLoader(new RecordingLoader("obj gz", "mesh"));
    EXPECT_EQ(load("Data/tree.OBJ"), "(null)");
    EXPECT_EQ(load("Data/archive.tar.gz"), "mesh");
    EXPECT_EQ(load("Data/noext"), "(null)");
    EXPECT_EQ(load("./Data/noext"), "(null)");
    EXPECT_EQ(load("trailing."), "(null)");
    EXPECT_EQ(RecordingLoader::seen, std::vector<std::string>{"Data/archive.tar.gz"});
    expectBody({
        " -> [ ERROR ] VESK::CFactoryLoader::loadFromFile : OBJ [NOT FOUND]",
        " -> [ ERROR ] VESK::CFactoryLoader::loadFromFile : Data/noext [NOT FOUND]",
        " -> [ ERROR ] VESK::CFactoryLoader::loadFromFile : /Data/noext [NOT FOUND]",
        " -> [ ERROR ] VESK::CFactoryLoader::loadFromFile :  [NOT FOUND]",
    });
}

TEST_F(FactoryLoaderTest, ALoaderThatThrowsIsLoggedOnceAndYieldsNull)
{
    EXPECT_EQ(load("empty.obj"), "(null)");
    CFactoryLoader::registerLoader(new RecordingLoader("obj", "mesh"));
    EXPECT_EQ(load("Data/bad.obj"), "(null)");
    EXPECT_EQ(load("Data/good.obj"), "mesh");
    expectBody({
        " -> [ ERROR ] VESK::CFactoryLoader::loadFromFile : obj [NOT FOUND]",
        " -> [ ERROR ] VESK::RecordingLoader::loadFromFile Data/bad.obj [FAILED]",
    });
    CFactoryLoader::getInstance().clear();
    EXPECT_EQ(RecordingLoader::destroyed, std::vector<std::string>{"mesh"});
}
