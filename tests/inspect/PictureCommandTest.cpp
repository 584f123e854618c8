#include <algorithm>
#include <string>
#include <vector>

#include "ToolRun.h"
#include "support/PictureFiles.h"
#include "support/TempWorkDir.h"

using PictureCommandTest = TempWorkDir;

TEST_F(PictureCommandTest, PrintsSizeFormatAndPixelHash)
{
    writeFile("Data/small.bmp",
              PictureFiles::bmp(3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
    const ToolOutcome run = runTool({"picture", "Data/small.bmp"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "{\"width\":3,\"height\":2,\"format\":0,\"bytesPerPixel\":3,\"fnv1a64\":\"94033443c03943ba\"}\n");
    EXPECT_TRUE(run.errLines.empty());
    EXPECT_FALSE(std::filesystem::exists("global.log"));

    writeFile("grey.pgm", PictureFiles::pgm(2, 1, {'a', 'b'}));
    const ToolOutcome grey = runTool({"picture", "grey.pgm"});
    EXPECT_EQ(grey.status, 0);
    EXPECT_EQ(grey.out, "{\"width\":2,\"height\":1,\"format\":2,\"bytesPerPixel\":1,\"fnv1a64\":\"089c4407b545986a\"}\n");
}

TEST_F(PictureCommandTest, FailedLoadsExitWithOneAndTheEngineMessage)
{
    const std::string bmp = PictureFiles::bmp(4, 4, std::vector<std::uint8_t>(48, 1));
    writeFile("cut.bmp", bmp.substr(0, 40));
    writeFile("cut.PNG", PictureFiles::pgm(1, 1, {1}));
    writeFile("model.obj", "v 0 0 0\n");
    for (const std::string file : {"missing.png", "cut.bmp", "cut.PNG", "model.obj"}) {
        const ToolOutcome run = runTool({"picture", file});
        EXPECT_EQ(run.status, 1) << file;
        EXPECT_EQ(run.out, "") << file;
        EXPECT_EQ(run.errLines, std::vector<std::string>{"VESK::CPictureLoader::loadFromFile " + file + " [FAILED]"});
    }
}

TEST_F(PictureCommandTest, UsageErrorsExitWithTwo)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"picture"}, {"picture", "a.png", "b.png"}, {"photo", "a.png"}}) {
        const ToolOutcome run = runTool(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        ASSERT_FALSE(run.errLines.empty());
        EXPECT_EQ(run.errLines[0].rfind("usage: vesk-inspect", 0), 0u) << run.errLines[0];
        EXPECT_TRUE(std::find(run.errLines.begin(), run.errLines.end(), "       vesk-inspect picture FILE") !=
                    run.errLines.end());
    }
}
