#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// What one run of vesk-inspect left: exit status (-1 when it did not exit),
// standard output and the lines of standard error.
struct ToolOutcome {
    int status = -1;
    std::string out;
    std::vector<std::string> errLines;
};

// Where the child's standard error goes: a pipe; "inspect-stderr.txt" in the
// current folder, opened for appending as `2>>` opens it (the test may fill it
// first); or wherever standard output goes, as `2>&1` sends it.
enum class Errors { piped, appended, withOutput };

// Runs vesk-inspect with the arguments in the folder workDir. Standard output
// goes to "inspect-stdout.txt" in the current folder. A child still running
// after 20 s is killed.
inline ToolOutcome runTool(const std::vector<std::string>& arguments, const std::string& workDir = ".",
                                 Errors errors = Errors::piped)
{
    ToolOutcome outcome;
    const std::string outPath = (std::filesystem::current_path() / "inspect-stdout.txt").string();
    const std::string errPath = (std::filesystem::current_path() / "inspect-stderr.txt").string();
    int errPipe[2];
    if (pipe(errPipe) != 0)
        return outcome;
    const pid_t child = fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = errors == Errors::piped      ? errPipe[1]
                        : errors == Errors::appended ? ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644)
                                                     : out;
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(workDir.c_str()) != 0)
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
    std::ifstream in(outPath, std::ios::binary);
    outcome.out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (errors == Errors::appended) {
        std::ifstream errFile(errPath, std::ios::binary);
        err.assign(std::istreambuf_iterator<char>(errFile), std::istreambuf_iterator<char>());
    }
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
        outcome.errLines.push_back(line);
    return outcome;
}
