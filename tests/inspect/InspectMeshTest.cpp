#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/TempWorkDir.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::vector<std::string> errLines;
};

// Runs vesk-inspect as a child process in the empty folder "run/", with its
// standard output going to a file under "out/".
class InspectMeshTest : public TempWorkDir {
protected:
    void SetUp() override
    {
        TempWorkDir::SetUp();
        std::filesystem::create_directories("run");
        std::filesystem::create_directories("out");
        writeFile("in/tri.obj", "mtllib tri.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 1\nvn 0 0 1\nusemtl A\n"
                                "f 1/1/1 2/1/1 3/1/1\n");
        writeFile("in/tri.mtl", "newmtl A\nKd 1 0.5 0\nmap_Kd \"a\\b\".png\n");
    }

    void TearDown() override
    {
        EXPECT_TRUE(std::filesystem::is_empty("run")) << "vesk-inspect wrote into its working directory";
        TempWorkDir::TearDown();
    }

    // Standard error goes through a pipe: the tool's log reopens /dev/stderr,
    // and a reopened file would be written from its start again. The child is
    // killed after 20 s.
    static Outcome run(const std::vector<std::string>& arguments)
    {
        Outcome outcome;
        int errPipe[2];
        if (pipe(errPipe) != 0)
            return outcome;
        const pid_t child = fork();
        if (child == 0) {
            const int out = ::open("out/stdout", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0 || dup2(out, 1) < 0 || dup2(errPipe[1], 2) < 0 || chdir("run") != 0)
                _exit(126);
            close(errPipe[0]);
            std::vector<char*> argv{const_cast<char*>(VESK_INSPECT)};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(VESK_INSPECT, argv.data());
            _exit(127);
        }
        close(errPipe[1]);
        fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
        std::string err;
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (bool ended = false; !ended;) {
            ended = waitpid(child, &status, WNOHANG) == child;
            char buffer[4096];
            for (ssize_t got; (got = read(errPipe[0], buffer, sizeof(buffer))) > 0;)
                err.append(buffer, static_cast<std::size_t>(got));
            if (!ended && std::chrono::steady_clock::now() > deadline) {
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
                break;
            }
            if (!ended)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        close(errPipe[0]);
        if (WIFEXITED(status))
            outcome.status = WEXITSTATUS(status);
        outcome.out = readFile("out/stdout");
        std::istringstream lines(err);
        for (std::string line; std::getline(lines, line);)
            outcome.errLines.push_back(line);
        return outcome;
    }

    // True when standard error holds exactly one engine log line, the given
    // error, between the log's opening and closing lines.
    static bool hasOnlyError(const Outcome& outcome, const std::string& message)
    {
        const std::vector<std::string>& lines = outcome.errLines;
        return lines.size() == 5 && lines[0] == "LOG NAME : /dev/stderr" && lines[1].empty() &&
               isStampedLine(lines[2], " -> -- LOGGING START --") &&
               isStampedLine(lines[3], " -> [ ERROR ] " + message) && isStampedLine(lines[4], " -> -- LOGGING STOP --");
    }
};

const std::string head = R"({"vertexStride":32,"indexSize":4,"vertexCount":3,"indexCount":3,"elementCount":4,)"
                         R"("elements":[[0,3,1,0],[12,3,2,0],[24,2,4,0],[0,0,0,0]],)";
const std::string arrays = R"("vertices":[0,0,0,0,0,1,-0,-1,1,0,0,0,0,1,-0,-1,0,1,0,0,0,1,-0,-1],"indices":[0,1,2],)";
const std::string tail = R"("subMeshes":[{"name":"A","textureName":"\"a\\b\".png","firstIndex":0,"triangleCount":1,)"
                         R"("ambient":[0.100000001,0.100000001,0.100000001,1],"diffuse":[1,0.5,0,1],)"
                         R"("specular":[0.200000003,0.200000003,0.200000003,1],"emission":[0,0,0,1],"shininess":10}]})"
                         "\n";

}  // namespace

TEST_F(InspectMeshTest, PrintsTheLoadedMeshAsJson)
{
    const Outcome full = run({"mesh", "../in/tri.obj"});
    EXPECT_EQ(full.status, 0);
    EXPECT_EQ(full.out, head + arrays + tail);
    ASSERT_EQ(full.errLines.size(), 4u);
    EXPECT_TRUE(isStampedLine(full.errLines[2], " -> -- LOGGING START --"));

    const Outcome summary = run({"mesh", "../in/tri.obj", "--summary"});
    EXPECT_EQ(summary.status, 0);
    EXPECT_EQ(summary.out, head + tail);
}

TEST_F(InspectMeshTest, FailedLoadsExitWithOneAndTheEngineMessage)
{
    const Outcome missing = run({"mesh", "../in/missing.obj"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_TRUE(hasOnlyError(missing, "VESK::CObjLoader::loadFromFile ../in/missing.obj [FAILED]"));

    writeFile("in/bad.obj", "v 0 0 0\nf 1 1 2\n");
    const Outcome bad = run({"mesh", "../in/bad.obj", "--summary"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_TRUE(hasOnlyError(bad, "VESK::CObjLoader::loadFromFile ../in/bad.obj [FAILED] "
                                  "(line 2: position index 2 beyond the 1 read)"));

    // Only the OBJ loader's extension gives a mesh; nothing else is loaded.
    writeFile("in/tri.png", "");
    for (const std::string file : {"../in/tri.png", "../in/tri.OBJ", "../in/tri"}) {
        const Outcome other = run({"mesh", file});
        EXPECT_EQ(other.status, 1);
        EXPECT_EQ(other.out, "");
        EXPECT_TRUE(hasOnlyError(other, "VESK::CObjLoader::loadFromFile " + file + " [FAILED]")) << file;
    }
}

TEST_F(InspectMeshTest, UsageErrorsExitWithTwo)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"mesh"}, {"mesh", "../in/tri.obj", "--full"}, {"mesh", "../in/tri.obj", "--summary", "x"},
             {"model", "../in/tri.obj"}}) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 2) << arguments.size();
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(std::find(outcome.errLines.begin(), outcome.errLines.end(),
                            "usage: vesk-inspect mesh FILE [--summary]"),
                  outcome.errLines.end());
    }
}
