#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/PreloadList.h"
#include "support/TempWorkDir.h"

namespace {

struct Outcome {
    int status;
    std::string output;
};

// Runs the probe with the hiding library preloaded and the given environment
// settings, standard output in a file; a probe that outlives 20 s is killed.
Outcome runProbe(const std::vector<std::string>& settings)
{
    const pid_t child = fork();
    if (child == 0) {
        setenv("LD_PRELOAD", preloadListWith(VESK_HIDE_EXTENSION_LIBRARY).c_str(), 1);
        for (const std::string& setting : settings)
            putenv(const_cast<char*>(setting.c_str()));
        if (freopen("stdout.txt", "w", stdout) == nullptr)
            _exit(100);
        execl(VESK_INITIALIZE_PROBE, VESK_INITIALIZE_PROBE, static_cast<char*>(nullptr));
        _exit(101);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return {-1, "probe killed after 20 s"};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in("stdout.txt");
    return {code, std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())};
}

}  // namespace

using InitializeFailureTest = TempWorkDir;

TEST_F(InitializeFailureTest, ProbeInitializesWhenNothingIsHidden)
{
    const Outcome outcome = runProbe({"VESK_HIDE_EXTENSION=GL_VESK_not_there"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.output, "initialized\n");
}

TEST_F(InitializeFailureTest, MissingExtensionEndsTheProcessWithItsName)
{
    for (const std::string name :
         {"GL_ARB_vertex_buffer_object", "GL_ARB_multitexture", "GL_ARB_texture_env_combine"}) {
        const Outcome outcome = runProbe({"VESK_HIDE_EXTENSION=" + name});
        EXPECT_EQ(outcome.status, 255) << name;
        EXPECT_EQ(outcome.output, "GL_EXTENSION ERROR : " + name + " was not found!\n");
    }
}

TEST_F(InitializeFailureTest, NullExtensionStringReportsTheFirstRequiredName)
{
    const Outcome outcome = runProbe({"VESK_HIDE_EXTENSION=*"});
    EXPECT_EQ(outcome.status, 255);
    EXPECT_EQ(outcome.output, "GL_EXTENSION ERROR : GL_ARB_vertex_buffer_object was not found!\n");
}

TEST_F(InitializeFailureTest, GlewFailureEndsTheProcessWithGlewsText)
{
    const Outcome outcome = runProbe({"VESK_HIDE_VERSION=1"});
    EXPECT_EQ(outcome.status, 255);
    EXPECT_EQ(outcome.output, "GLEW ERROR : Missing GL version\n");
}
