#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/PictureFiles.h"
#include "support/TempWorkDir.h"

namespace {

struct Outcome {
    int status;
    std::string out;
    std::vector<std::string> errLines;
};

// Runs vesk-inspect with the arguments: standard output into a file, standard
// error through a pipe (the tool's log reopens /dev/stderr, which must not be
// a file shared with standard output). Killed after 20 s.
Outcome inspect(const std::vector<std::string>& arguments)
{
    int errPipe[2];
    if (pipe(errPipe) != 0)
        return {-1, "", {"pipe failed"}};
    const pid_t child = fork();
    if (child == 0) {
        close(errPipe[0]);
        dup2(errPipe[1], 2);
        const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        std::vector<char*> argv{const_cast<char*>(VESK_INSPECT)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(VESK_INSPECT, argv.data());
        _exit(101);
    }
    close(errPipe[1]);
    fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
    std::string err;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (bool done = false; !done;) {
        done = waitpid(child, &status, WNOHANG) != 0;
        char buffer[4096];
        for (ssize_t n; (n = read(errPipe[0], buffer, sizeof(buffer))) > 0;)
            err.append(buffer, static_cast<std::size_t>(n));
        if (!done && std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            close(errPipe[0]);
            return {-1, "", {"vesk-inspect killed after 20 s"}};
        }
        if (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    close(errPipe[0]);
    std::ifstream in("stdout.txt");
    Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            {}};
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
        run.errLines.push_back(line);
    return run;
}

// What the tool wrote on standard error besides the log's header, start and
// stop lines.
std::vector<std::string> logBody(const Outcome& run)
{
    std::vector<std::string> body;
    for (const std::string& line : run.errLines)
        if (line.rfind("LOG NAME : ", 0) != 0 && !line.empty() && line.find(" -> -- LOGGING ") == std::string::npos)
            body.push_back(line);
    return body;
}

}  // namespace

using InspectPictureTest = TempWorkDir;

TEST_F(InspectPictureTest, PrintsSizeFormatAndPixelHash)
{
    writeFile("Data/small.bmp",
              PictureFiles::bmp(3, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
    const Outcome run = inspect({"picture", "Data/small.bmp"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "{\"width\":3,\"height\":2,\"format\":0,\"bytesPerPixel\":3,\"fnv1a64\":\"94033443c03943ba\"}\n");
    EXPECT_EQ(logBody(run), std::vector<std::string>{});
    EXPECT_FALSE(std::filesystem::exists("global.log"));

    writeFile("grey.pgm", PictureFiles::pgm(2, 1, {'a', 'b'}));
    const Outcome grey = inspect({"picture", "grey.pgm"});
    EXPECT_EQ(grey.status, 0);
    EXPECT_EQ(grey.out, "{\"width\":2,\"height\":1,\"format\":2,\"bytesPerPixel\":1,\"fnv1a64\":\"089c4407b545986a\"}\n");
}

TEST_F(InspectPictureTest, FailedLoadsExitWithOneAndTheEngineMessage)
{
    const std::string bmp = PictureFiles::bmp(4, 4, std::vector<std::uint8_t>(48, 1));
    writeFile("cut.bmp", bmp.substr(0, 40));
    writeFile("cut.PNG", PictureFiles::pgm(1, 1, {1}));
    writeFile("model.obj", "v 0 0 0\n");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"missing.png", " -> [ ERROR ] VESK::CPictureLoader::loadFromFile missing.png [FAILED]"},
        {"cut.bmp", " -> [ ERROR ] VESK::CPictureLoader::loadFromFile cut.bmp [FAILED]"},
        {"cut.PNG", " -> [ ERROR ] VESK::CPictureLoader::loadFromFile cut.PNG [FAILED]"},
        {"model.obj", " -> [ ERROR ] VESK::CPictureLoader::loadFromFile model.obj [FAILED]"},
    };
    for (const auto& [file, message] : cases) {
        const Outcome run = inspect({"picture", file});
        EXPECT_EQ(run.status, 1) << file;
        EXPECT_EQ(run.out, "") << file;
        const std::vector<std::string> body = logBody(run);
        ASSERT_EQ(body.size(), 1u) << file;
        EXPECT_TRUE(isStampedLine(body[0], message)) << body[0];
    }
}

TEST_F(InspectPictureTest, UsageErrorsExitWithTwo)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"picture"}, {"picture", "a.png", "b.png"}, {"photo", "a.png"}}) {
        const Outcome run = inspect(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        const std::vector<std::string> body = logBody(run);
        ASSERT_FALSE(body.empty());
        EXPECT_EQ(body[0].rfind("usage: vesk-inspect", 0), 0u) << body[0];
        EXPECT_TRUE(std::find(body.begin(), body.end(), "       vesk-inspect picture FILE") != body.end());
    }
}
