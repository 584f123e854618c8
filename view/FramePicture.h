#pragma once

#include <string>

#include "RgbImage.h"

// Writes a frame read back from the viewer's window as a picture file, in the
// format its extension names (PNG for ".png"), through the engine's own
// picture saving. With `longerSide` above 0 the frame is first scaled so that
// its longer side has that many pixels, each pixel the mean of the frame's
// area it covers (a box filter: no aliasing when shrinking to a thumbnail).
// False, with `error` saying why, when the file cannot be written.
bool writeFramePicture(const RgbImage& frame, int longerSide, const std::string& path, std::string& error);
