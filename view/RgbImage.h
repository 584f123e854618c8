#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

// A picture of 8-bit red, green and blue samples, top row first, as read back
// from a window. An ordinary value: copy it to keep a frame for a later
// comparison.
class RgbImage {
public:
    struct Pixel {
        std::uint8_t red, green, blue;
    };
    // How many pixels match, and the box around them (left > right when none does).
    struct Region {
        std::size_t count = 0;
        int left, right, top, bottom;
    };

    RgbImage() = default;
    // `rgb` holds three bytes a pixel, red, green and blue.
    RgbImage(int width, int height, std::string rgb) : w(width), h(height), bytes(std::move(rgb)) {}

    int width() const { return w; }
    int height() const { return h; }
    bool empty() const { return bytes.empty(); }
    // x from the left, y from the top; both must lie inside the picture.
    Pixel at(int x, int y) const
    {
        const std::size_t i = 3 * (static_cast<std::size_t>(y) * w + x);
        return {std::uint8_t(bytes.at(i)), std::uint8_t(bytes.at(i + 1)), std::uint8_t(bytes.at(i + 2))};
    }
    bool operator==(const RgbImage& o) const { return w == o.w && h == o.h && bytes == o.bytes; }

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

private:
    int w = 0, h = 0;
    std::string bytes;
};
