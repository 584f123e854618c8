#pragma once

#include "view/RgbImage.h"

// The colours the end-to-end tests look for in a window's pixels.

inline bool isRed(RgbImage::Pixel p) { return p.red > 100 && p.green < 40 && p.blue < 40; }
inline bool isGreen(RgbImage::Pixel p) { return p.green > 100 && p.red < 40 && p.blue < 40; }
inline bool isBlack(RgbImage::Pixel p) { return p.red == 0 && p.green == 0 && p.blue == 0; }
inline bool isLit(RgbImage::Pixel p) { return !isBlack(p); }
