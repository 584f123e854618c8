#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Runs a program under test as a child process, the one runner of the test
// programs. It owns a fresh temporary folder, made in the constructor and
// removed with all it holds in the destructor, in which the test lays out the
// inputs; the child's standard output goes to "stdout.txt" there and its
// standard error is appended to "stderr.txt" (as `2>>` opens it), never to a
// pipe that could fill up. The child leads a process group of its own; one
// still running when the object goes is killed with its group and reaped.
class ChildProcess {
public:
    // How the child ended and what it left; the output files are read, then removed.
    struct Result {
        int exitStatus = -1;  // 0..255 when it exited, -1 when a signal ended it
        std::string standardOutput, standardError, globalLog, memoryLog;
    };

    explicit ChildProcess(std::filesystem::path program);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    const std::filesystem::path& workingDirectory() const { return directory; }
    // Writes bytes to a file relative to the folder, creating its folders.
    void writeFile(const std::string& relativePath, const std::string& bytes) const;
    // Adds or replaces a variable of the child's environment from the next start() on.
    void setEnvironment(const std::string& name, const std::string& value) { overrides[name] = value; }

    // Starts the program with the arguments in the folder; standard error
    // joins standard output when errorsToOutput, as `2>&1` sends it. False
    // when a child runs already or none could start.
    bool start(const std::vector<std::string>& arguments = {}, bool errorsToOutput = false);
    // Waits for the child, at most `timeout`, then kills it.
    Result waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    void kill();

    std::filesystem::path program, directory;
    std::map<std::string, std::string> overrides;
    pid_t child = -1;
    int waitStatus = 0;
};
