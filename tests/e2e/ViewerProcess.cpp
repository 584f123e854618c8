#include "ViewerProcess.h"

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
#include <vector>

extern char** environ;

ViewerProcess::ViewerProcess(std::filesystem::path executablePath)
    : executable(std::move(executablePath))
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vesk-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("ViewerProcess: cannot create a temporary working directory");
    directory = pattern;
}

ViewerProcess::~ViewerProcess()
{
    killChild();
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

bool ViewerProcess::writeFile(const std::string& relativePath, const std::string& bytes) const
{
    const std::filesystem::path target = directory / relativePath;
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out << bytes;
    return static_cast<bool>(out);
}

std::string ViewerProcess::readFile(const std::string& relativePath) const
{
    std::ifstream in(directory / relativePath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ViewerProcess::setEnvironment(const std::string& name, const std::string& value)
{
    environmentOverrides[name] = value;
}

bool ViewerProcess::start(const std::vector<std::string>& arguments)
{
    if (child > 0 && !reaped)
        return false;

    // Everything the child needs is prepared before fork, so that the child
    // only makes system calls that are safe between fork and exec.
    const std::string program = executable.string();
    const std::string workDir = directory.string();
    const std::string outPath = (directory / "stdout.txt").string();
    const std::string errPath = (directory / "stderr.txt").string();
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('='));
        if (environmentOverrides.count(name) == 0)
            environment.push_back(variable);
    }
    for (const auto& [name, value] : environmentOverrides)
        environment.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t forked = fork();
    if (forked < 0)
        return false;
    if (forked == 0) {
        setpgid(0, 0);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || chdir(workDir.c_str()) != 0)
            _exit(127);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    // Its own process group, so that killing the child also ends whatever it started.
    setpgid(forked, forked);
    child = forked;
    reaped = false;
    waitStatus = 0;
    return true;
}

bool ViewerProcess::isRunning()
{
    if (child <= 0 || reaped)
        return false;
    int status = 0;
    const pid_t result = waitpid(child, &status, WNOHANG);
    if (result == child) {
        reaped = true;
        waitStatus = status;
        return false;
    }
    return result == 0;
}

ViewerProcess::Result ViewerProcess::waitForExit(std::chrono::milliseconds timeout)
{
    Result result;
    if (child <= 0)
        return result;
    result.started = true;

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (isRunning() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (isRunning()) {
        result.timedOut = true;
        killChild();
    }

    if (WIFEXITED(waitStatus)) {
        result.exited = true;
        result.exitStatus = WEXITSTATUS(waitStatus);
    } else if (WIFSIGNALED(waitStatus)) {
        result.signal = WTERMSIG(waitStatus);
    }
    result.standardOutput = readFile("stdout.txt");
    result.standardError = readFile("stderr.txt");
    result.globalLog = readFile("global.log");
    result.memoryLog = readFile("memory.log");
    return result;
}

void ViewerProcess::killChild()
{
    if (child <= 0 || reaped)
        return;
    kill(-child, SIGKILL);
    kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    reaped = true;
    waitStatus = status;
}
