#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture of 8-bit red, green and blue samples, top row first, as the
// end-to-end tests read it back from a window. It owns its pixel bytes and is
// an ordinary value: copy it to keep a frame for a later comparison.
class RgbImage {
public:
    struct Pixel {
        std::uint8_t red = 0;
        std::uint8_t green = 0;
        std::uint8_t blue = 0;

        bool operator==(const Pixel& other) const;
        bool operator!=(const Pixel& other) const { return !(*this == other); }
    };

    RgbImage() = default;
    RgbImage(int width, int height);

    int width() const { return imageWidth; }
    int height() const { return imageHeight; }
    bool empty() const { return imageWidth == 0 || imageHeight == 0; }

    // x from the left, y from the top; both must lie inside the picture.
    Pixel at(int x, int y) const;
    void set(int x, int y, Pixel pixel);
    Pixel centre() const { return at(imageWidth / 2, imageHeight / 2); }

    bool operator==(const RgbImage& other) const;
    bool operator!=(const RgbImage& other) const { return !(*this == other); }

    // Writes an 8-bit RGB PNG (zlib-compressed); returns false when the file
    // cannot be written or the picture is empty.
    bool savePng(const std::string& path) const;

private:
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<std::uint8_t> samples;
};
