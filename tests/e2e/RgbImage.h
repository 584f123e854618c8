#pragma once

#include <cstdint>
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

    RgbImage() = default;
    RgbImage(int width, int height) : w(width), h(height), pixels(static_cast<std::size_t>(width) * height) {}

    int width() const { return w; }
    int height() const { return h; }
    bool empty() const { return pixels.empty(); }
    // x from the left, y from the top; both must lie inside the picture.
    Pixel at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y) * w + x); }
    void set(int x, int y, Pixel pixel) { pixels.at(static_cast<std::size_t>(y) * w + x) = pixel; }
    Pixel centre() const { return at(w / 2, h / 2); }
    bool operator==(const RgbImage& o) const { return w == o.w && h == o.h && pixels == o.pixels; }
    bool operator!=(const RgbImage& o) const { return !(*this == o); }

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
