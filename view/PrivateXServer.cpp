#include "PrivateXServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// How long the server may take to start and say its display's number.
constexpr int startMilliseconds = 10000;

}  // namespace

PrivateXServer::PrivateXServer()
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        problem = std::string("cannot start Xvfb: ") + std::strerror(errno);
        return;
    }
    const pid_t parent = getpid();
    const std::string numberOut = std::to_string(pipeEnds[1]);
    server = fork();
    if (server == 0) {
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
            _exit(127);
        // The server writes its display's number to the pipe (-displayfd) and
        // nothing else where the user would see it.
        fcntl(pipeEnds[1], F_SETFD, 0);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        // -retro: a patterned root, so that a window not drawn yet never
        // looks like a black scene.
        execlp("Xvfb", "Xvfb", "-displayfd", numberOut.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
               "-noreset", "-retro", static_cast<char*>(nullptr));
        _exit(127);
    }
    const int forkError = errno;
    close(pipeEnds[1]);
    if (server < 0) {
        close(pipeEnds[0]);
        problem = std::string("cannot start Xvfb: ") + std::strerror(forkError);
        return;
    }
    std::string number;
    pollfd reading{pipeEnds[0], POLLIN, 0};
    char c = 0;
    while (number.find('\n') == std::string::npos && poll(&reading, 1, startMilliseconds) > 0 &&
           read(pipeEnds[0], &c, 1) == 1)
        number += c;
    close(pipeEnds[0]);
    if (number.size() < 2 || number.back() != '\n') {
        problem = "cannot start Xvfb (drawing without a display needs it: Debian's package xvfb)";
        return;
    }
    number.pop_back();
    name = ":" + number;
}

PrivateXServer::~PrivateXServer()
{
    if (server <= 0)
        return;
    kill(server, SIGTERM);
    while (waitpid(server, nullptr, 0) < 0 && errno == EINTR) {
    }
}
