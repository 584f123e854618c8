#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A picture of 8-bit red, green and blue samples, top row first, as the
// end-to-end tests read it back from a window. An ordinary value: copy it to
// keep a frame for a later comparison.
class RgbImage {
public:
    struct Pixel {
        std::uint8_t red = 0, green = 0, blue = 0;
        bool operator==(const Pixel& o) const { return red == o.red && green == o.green && blue == o.blue; }
    };
    // How many pixels match, and the box around them (left > right when none does).
    struct Region {
        std::size_t count = 0;
        int left, right, top, bottom;
    };

    RgbImage() = default;
    RgbImage(int width, int height) : w(width), h(height), pixels(static_cast<std::size_t>(width) * height) {}

    int width() const { return w; }
    int height() const { return h; }
    bool empty() const { return pixels.empty(); }
    // x from the left, y from the top; both must lie inside the picture.
    Pixel at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y) * w + x); }
    void set(int x, int y, Pixel pixel) { pixels.at(static_cast<std::size_t>(y) * w + x) = pixel; }
    bool operator==(const RgbImage& o) const { return w == o.w && h == o.h && pixels == o.pixels; }
    bool operator!=(const RgbImage& o) const { return !(*this == o); }

    Region find(const std::function<bool(Pixel)>& matches) const
    {
        Region region{0, w, -1, h, -1};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (matches(at(x, y))) {
                    ++region.count;
                    region.left = std::min(region.left, x);
                    region.right = std::max(region.right, x);
                    region.top = std::min(region.top, y);
                    region.bottom = y;
                }
        return region;
    }

    // The picture as a binary PPM file (P6), which the viewer reads as it reads a PNG.
    std::string ppm() const
    {
        std::string file = "P6\n" + std::to_string(w) + ' ' + std::to_string(h) + "\n255\n";
        for (const Pixel& p : pixels)
            file += {static_cast<char>(p.red), static_cast<char>(p.green), static_cast<char>(p.blue)};
        return file;
    }

private:
    int w = 0, h = 0;
    std::vector<Pixel> pixels;
};

inline bool isRed(RgbImage::Pixel p) { return p.red > 100 && p.green < 40 && p.blue < 40; }
inline bool isGreen(RgbImage::Pixel p) { return p.green > 100 && p.red < 40 && p.blue < 40; }
inline bool isBlack(RgbImage::Pixel p) { return p.red == 0 && p.green == 0 && p.blue == 0; }
inline bool isLit(RgbImage::Pixel p) { return !isBlack(p); }
