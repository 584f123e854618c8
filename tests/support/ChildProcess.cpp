#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

ChildProcess::ChildProcess(std::filesystem::path programPath) : program(std::move(programPath))
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vesk-run-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("ChildProcess: cannot create a temporary folder");
    directory = pattern;
}

ChildProcess::~ChildProcess()
{
    kill();
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

bool ChildProcess::writeFile(const std::string& relativePath, const std::string& bytes) const
{
    const std::filesystem::path target = directory / relativePath;
    std::error_code ignored;
    std::filesystem::create_directories(target.parent_path(), ignored);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(out << bytes);
}

std::string ChildProcess::readFile(const std::string& relativePath) const
{
    std::ifstream in(directory / relativePath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ChildProcess::start(const std::vector<std::string>& arguments, const std::string& folder, bool errorsToOutput)
{
    if (child > 0)
        return false;
    // The paths and arguments are made before fork; the test programs run a
    // single thread, so the child may still set its environment.
    const std::string path = program.string(), workDir = (directory / folder).string();
    const std::string outPath = (directory / "stdout.txt").string(), errPath = (directory / "stderr.txt").string();
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t forked = fork();
    if (forked < 0)
        return false;
    if (forked == 0) {
        setpgid(0, 0);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = errorsToOutput ? out : open(errPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || chdir(workDir.c_str()) != 0)
            _exit(127);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        for (const auto& [name, value] : overrides)
            setenv(name.c_str(), value.c_str(), 1);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    setpgid(forked, forked);
    child = forked;
    return true;
}

ChildProcess::Result ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    Result result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (child > 0 && waitpid(child, &waitStatus, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            result.timedOut = true;
            kill();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    child = -1;
    if (WIFEXITED(waitStatus))
        result.exitStatus = WEXITSTATUS(waitStatus);
    result.standardOutput = readFile("stdout.txt");
    result.standardError = readFile("stderr.txt");
    result.globalLog = readFile("global.log");
    result.memoryLog = readFile("memory.log");
    std::error_code ignored;
    std::filesystem::remove(directory / "stdout.txt", ignored);
    std::filesystem::remove(directory / "stderr.txt", ignored);
    return result;
}

void ChildProcess::kill()
{
    if (child <= 0)
        return;
    ::kill(-child, SIGKILL);
    ::kill(child, SIGKILL);
    while (waitpid(child, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    child = -1;
}
