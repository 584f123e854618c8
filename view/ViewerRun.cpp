#include "ViewerRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The signals whose default action ends a program and that come from outside it.
const int endingSignals[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF,
                             SIGXCPU, SIGXFSZ};
constexpr int endingSignalCount = sizeof(endingSignals) / sizeof(endingSignals[0]);

volatile sig_atomic_t childProcess = 0;
volatile sig_atomic_t lastSignal = 0;
struct sigaction previousActions[endingSignalCount];

void passOn(int signal)
{
    lastSignal = signal;
    if (childProcess > 0)
        kill(childProcess, signal);
}

bool isExecutableFile(const std::filesystem::path& file)
{
    std::error_code error;
    return std::filesystem::is_regular_file(file, error) && access(file.c_str(), X_OK) == 0;
}

}  // namespace

ViewerRun::ViewerRun()
{
    struct sigaction action {};
    action.sa_handler = passOn;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < endingSignalCount; ++i) {
        sigaction(endingSignals[i], nullptr, &previousActions[i]);
        // A signal ignored by whoever started this program (a background job,
        // nohup) stays ignored, for the viewer too.
        if (previousActions[i].sa_handler != SIG_IGN)
            sigaction(endingSignals[i], &action, nullptr);
    }
}

ViewerRun::~ViewerRun()
{
    for (int i = 0; i < endingSignalCount; ++i)
        sigaction(endingSignals[i], &previousActions[i], nullptr);
    childProcess = 0;
}

std::filesystem::path ViewerRun::findViewer()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    for (const char* place : {"vesk-viewer", "../app/vesk-viewer"}) {
        const std::filesystem::path viewer = self.parent_path() / place;
        if (isExecutableFile(viewer))
            return viewer.lexically_normal();
    }
    return {};
}

int ViewerRun::run(const std::filesystem::path& viewer, const std::filesystem::path& folder)
{
    const int status = start(viewer, folder);
    return status != 0 ? status : wait();
}

int ViewerRun::signalled() const
{
    return lastSignal;
}

int ViewerRun::start(const std::filesystem::path& viewer, const std::filesystem::path& folder, bool quiet)
{
    if (lastSignal != 0)
        return 128 + lastSignal;
    // Blocked until the child's number is known, so that none is lost between.
    sigset_t ending, previousMask;
    sigemptyset(&ending);
    for (const int signal : endingSignals)
        sigaddset(&ending, signal);
    sigprocmask(SIG_BLOCK, &ending, &previousMask);
    const std::string program = viewer.string();
    const std::string failure = "vesk-view: cannot run " + program + ": ";
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        // The viewer ends with this program, even when nothing could pass a
        // signal on (SIGKILL); if this program is gone already, it ends now.
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
            _exit(128 + SIGTERM);
        // exec gives the viewer the default actions of the signals caught here.
        sigprocmask(SIG_SETMASK, &previousMask, nullptr);
        const int nowhere = quiet ? open("/dev/null", O_WRONLY) : -1;
        if (nowhere >= 0)
            dup2(nowhere, STDOUT_FILENO);
        if (chdir(folder.c_str()) == 0) {
            char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
            execv(program.c_str(), argv);
        }
        const std::string message = failure + std::strerror(errno) + "\n";
        // Nothing is left to do if even this cannot be written.
        const ssize_t written = write(STDERR_FILENO, message.data(), message.size());
        static_cast<void>(written);
        _exit(127);
    }
    const int forkError = errno;
    if (child > 0)
        childProcess = child;
    sigprocmask(SIG_SETMASK, &previousMask, nullptr);
    if (child < 0) {
        std::fputs((failure + std::strerror(forkError) + "\n").c_str(), stderr);
        return 127;
    }
    // A signal that came after the first check but before the child's number
    // was known found no child to pass on to.
    if (lastSignal != 0)
        kill(child, lastSignal);
    return 0;
}

bool ViewerRun::ended()
{
    int status = 0;
    const pid_t child = childProcess;
    if (child <= 0 || waitpid(child, &status, WNOHANG) != child)
        return child <= 0;
    childProcess = 0;
    exitStatus = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    return true;
}

int ViewerRun::wait()
{
    const pid_t child = childProcess;
    int status = 0;
    if (child > 0) {
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        childProcess = 0;
        exitStatus = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    }
    return exitStatus;
}

void ViewerRun::stop(int signal)
{
    if (childProcess > 0)
        kill(childProcess, signal);
}
