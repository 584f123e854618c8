#pragma once

#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

// Runs a program under test as a child process, the one runner of the test
// programs. It owns a fresh temporary folder, made in the constructor and
// removed with all it holds in the destructor, in which the test lays out the
// inputs and the child runs; the child's standard output goes to
// "stdout.txt" there and its standard error is appended to "stderr.txt" (as
// `2>>` opens it), never to a pipe that could fill up. The child leads a
// process group of its own; one still running when the object goes is killed
// with its group and reaped.
class ChildProcess {
public:
    // How the child ended and what it left; the output files are read, then removed.
    struct Result {
        int exitStatus = -1;  // 0..255 when it exited, -1 when a signal ended it
        std::string standardOutput, standardError, globalLog, memoryLog;
    };

    explicit ChildProcess(std::filesystem::path programPath) : program(std::move(programPath))
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vesk-run-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("ChildProcess: cannot create a temporary folder");
        directory = pattern;
    }
    ~ChildProcess()
    {
        kill();
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    const std::filesystem::path& workingDirectory() const { return directory; }

    // Writes bytes to a file relative to the folder, creating its folders.
    void writeFile(const std::string& relativePath, const std::string& bytes) const
    {
        std::filesystem::create_directories((directory / relativePath).parent_path());
        std::ofstream(directory / relativePath, std::ios::binary) << bytes;
    }

    // Adds or replaces a variable of the child's environment from the next start() on.
    void setEnvironment(const std::string& name, const std::string& value) { overrides[name] = value; }

    // Preloads `library` into the child from the next start() on. In a
    // sanitizer build the sanitizer's runtime has to come first in LD_PRELOAD
    // (otherwise it cannot intercept thread creation and exit handlers, and
    // the child crashes in its leak check), and whatever this process was
    // started with stays (`make asan` preloads Mesa's driver so that its
    // leaks stay attributable).
    void preload(const std::string& library)
    {
        std::string list;
#if defined(__SANITIZE_ADDRESS__)
        dl_iterate_phdr(
            [](dl_phdr_info* info, std::size_t, void* found) {
                const std::string name = info->dlpi_name;
                if (name.find("/libasan.so") == std::string::npos)
                    return 0;
                *static_cast<std::string*>(found) = name;
                return 1;
            },
            &list);
#endif
        if (const char* inherited = std::getenv("LD_PRELOAD"))
            list += (list.empty() ? "" : " ") + std::string(inherited);
        overrides["LD_PRELOAD"] = list + (list.empty() ? "" : " ") + library;
    }

    // Starts the program with the arguments in the folder; standard error
    // joins standard output when errorsToOutput, as `2>&1` sends it. False
    // when a child runs already or none could start. Everything the child
    // needs is made before fork; the test programs run a single thread, so
    // the child may still set its environment.
    bool start(const std::vector<std::string>& arguments = {}, bool errorsToOutput = false)
    {
        std::vector<std::string> words{program.string()};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        const std::string out = directory / "stdout.txt", err = directory / "stderr.txt";
        if (child > 0 || (child = fork()) < 0)
            return false;
        if (child == 0) {
            setpgid(0, 0);
            const int in = open("/dev/null", O_RDONLY), output = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int errors = errorsToOutput ? output : open(err.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (in < 0 || output < 0 || errors < 0 || chdir(directory.c_str()) != 0)
                _exit(127);
            dup2(in, STDIN_FILENO);
            dup2(output, STDOUT_FILENO);
            dup2(errors, STDERR_FILENO);
            for (const auto& [name, value] : overrides)
                setenv(name.c_str(), value.c_str(), 1);
            execv(argv[0], argv.data());
            _exit(127);
        }
        setpgid(child, child);
        return true;
    }

    // Waits for the child, at most 20 s, then kills it.
    Result waitForExit()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (child > 0 && waitpid(child, &waitStatus, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                kill();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        child = -1;
        const auto read = [this](const char* name) {
            std::ifstream in(directory / name, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        };
        const Result result{WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1, read("stdout.txt"),
            read("stderr.txt"), read("global.log"), read("memory.log")};
        std::filesystem::remove(directory / "stdout.txt");
        std::filesystem::remove(directory / "stderr.txt");
        return result;
    }

private:
    void kill()
    {
        if (child > 0) {
            ::kill(-child, SIGKILL);
            waitpid(child, &waitStatus, 0);
            child = -1;
        }
    }

    std::filesystem::path program, directory;
    std::map<std::string, std::string> overrides;
    pid_t child = -1;
    int waitStatus = 0;
};
