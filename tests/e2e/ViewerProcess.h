#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Runs one program under test as a child process in a fresh temporary working
// directory that this object creates in its constructor and removes, with all
// it holds, in its destructor. The test fills the directory (a scene file,
// Data/) before start(); standard output and standard error go to the files
// "stdout.txt" and "stderr.txt" there, never to a pipe that could fill up.
// The child leads a process group of its own; a child still running when the
// object is destroyed is killed (SIGKILL, with its group) and reaped. Not
// copyable: it owns the directory and the child.
class ViewerProcess {
public:
    // How the child ended and what it left behind, read after it exited.
    struct Result {
        bool started = false;     // start() succeeded
        bool exited = false;      // ended through exit (exitStatus is valid)
        int exitStatus = -1;      // 0..255, so exit(-1) reads 255
        int signal = 0;           // the signal that ended it, 0 when it exited
        bool timedOut = false;    // outlived the wait and was killed with SIGKILL
        std::string standardOutput;
        std::string standardError;
        std::string globalLog;    // "global.log" of the working directory
        std::string memoryLog;    // "memory.log" of the working directory
    };

    // Creates the working directory; throws std::runtime_error when it cannot.
    explicit ViewerProcess(std::filesystem::path executable);
    ~ViewerProcess();

    ViewerProcess(const ViewerProcess&) = delete;
    ViewerProcess& operator=(const ViewerProcess&) = delete;

    const std::filesystem::path& workingDirectory() const { return directory; }

    // Writes bytes to a file relative to the working directory, creating its
    // folders; returns false when the file cannot be written.
    bool writeFile(const std::string& relativePath, const std::string& bytes) const;
    // The whole file relative to the working directory; empty when it is missing.
    std::string readFile(const std::string& relativePath) const;

    // Adds or replaces a variable of the child's environment (the rest is
    // inherited, DISPLAY included). Takes effect at the next start().
    void setEnvironment(const std::string& name, const std::string& value);

    // Forks and executes the program with the arguments in the working
    // directory. Returns false when a child is already running or fork fails;
    // a program that cannot be executed ends with exit status 127.
    bool start(const std::vector<std::string>& arguments = {});
    pid_t pid() const { return child; }
    // True while the child has not ended; reaps it (keeping its status) when it has.
    bool isRunning();

    // Waits until the child ends, at most `timeout`, polling every 10 ms; a
    // child that outlives it is killed with SIGKILL, with its process group,
    // and reported as timedOut. Then reads the output files. Without a started
    // child, the result's started is false.
    Result waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    void killChild();

    std::filesystem::path executable;
    std::filesystem::path directory;
    std::map<std::string, std::string> environmentOverrides;
    pid_t child = -1;
    bool reaped = false;
    int waitStatus = 0;
};
