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

// Each setting of the hiding library, and what the probe then exits with and
// prints; a null extension string reads as empty text.
TEST_F(InitializeFailureTest, AnUnusableContextEndsTheProcessWithTheReason)
{
    const struct {
        std::string setting;
        int status;
        std::string output;
    } cases[] = {
        {"VESK_HIDE_EXTENSION=GL_VESK_not_there", 0, "initialized\n"},
        {"VESK_HIDE_EXTENSION=GL_ARB_vertex_buffer_object", 255,
         "GL_EXTENSION ERROR : GL_ARB_vertex_buffer_object was not found!\n"},
        {"VESK_HIDE_EXTENSION=GL_ARB_multitexture", 255, "GL_EXTENSION ERROR : GL_ARB_multitexture was not found!\n"},
        {"VESK_HIDE_EXTENSION=GL_ARB_texture_env_combine", 255,
         "GL_EXTENSION ERROR : GL_ARB_texture_env_combine was not found!\n"},
        {"VESK_HIDE_EXTENSION=*", 255, "GL_EXTENSION ERROR : GL_ARB_vertex_buffer_object was not found!\n"},
        {"VESK_HIDE_VERSION=1", 255, "GLEW ERROR : Missing GL version\n"},
    };
    for (const auto& entry : cases) {
        const Outcome outcome = runProbe({entry.setting});
        EXPECT_EQ(outcome.status, entry.status) << entry.setting;
        EXPECT_EQ(outcome.output, entry.output) << entry.setting;
    }
}
