#pragma once

#include <filesystem>
#include <string>

#include "ViewerRun.h"

// Renders a scene folder to a picture file: runs the viewer in it on the X
// display ($DISPLAY, or an Xvfb of its own when there is none), waits for its
// first finished frame, reads the window's pixels, ends the viewer with Esc,
// as a user would, and writes the frame through FramePicture. Every wait is
// bounded; the viewer, the private server and nothing else are left running,
// whatever ends the run.
struct PictureRun {
    std::string output;  // the picture file to write
    int longerSide = 0;  // 0: the window's own size

    // The status of the run: the viewer's when it failed; 1, after a message,
    // when no frame could be read or written; else 0 (the picture written).
    int render(ViewerRun& run, const std::filesystem::path& viewer, const std::filesystem::path& folder) const;
};
