#pragma once

#include <filesystem>

// Runs vesk-viewer as a child in a scene folder and waits for it. From its
// construction to its destruction the signals that end a program from
// outside (SIGINT, SIGTERM, SIGHUP and the like; those not ignored already)
// do not end this process: they are passed on to the viewer, so that the
// caller still cleans up after it. The viewer ends when this process ends,
// however that comes. One instance at a time.
class ViewerRun {
public:
    ViewerRun();
    ~ViewerRun();

    ViewerRun(const ViewerRun&) = delete;
    ViewerRun& operator=(const ViewerRun&) = delete;

    // The viewer beside this program (installed), or where the build tree
    // puts it; empty when there is none.
    static std::filesystem::path findViewer();

    // Runs the viewer in the folder with the process's standard streams and
    // returns its exit status; 128 plus the signal's number when a signal
    // ended it, or when one came before it was started (it is then not
    // started). 127 when it cannot be run, with a message on standard error.
    int run(const std::filesystem::path& viewer, const std::filesystem::path& folder);

    // The same in steps: start() returns 0 once the viewer runs, or the
    // status run() would give; ended() says, without waiting, whether it has
    // ended; wait() waits for its end and returns its status; stop() sends it
    // a signal.
    // With `quiet`, the viewer's standard output (a line a frame for each
    // mesh it misses) goes nowhere.
    int start(const std::filesystem::path& viewer, const std::filesystem::path& folder, bool quiet = false);
    bool ended();
    int wait();
    void stop(int signal);

    // The last signal that came and was passed on, or 0.
    int signalled() const;

private:
    int exitStatus = 0;
};
