#include "FramePicture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "debugging/CException.h"
#include "engine/loaders/CPicture.h"
#include "engine/loaders/CPictureLoader.h"

namespace {

// The weights with which the `from` samples of one line make each of the
// `to` samples of the scaled line: each target sample covers from/to source
// samples, those it covers in part counting by the part.
struct Footprint {
    int first;
    std::vector<double> weights;
};

std::vector<Footprint> footprints(int from, int to)
{
    std::vector<Footprint> result(static_cast<std::size_t>(to));
    const double scale = double(from) / to;
    for (int i = 0; i < to; ++i) {
        const double begin = i * scale, end = std::min<double>(from, (i + 1) * scale);
        Footprint& footprint = result[static_cast<std::size_t>(i)];
        footprint.first = std::min(from - 1, int(std::floor(begin)));
        for (int k = footprint.first; k < from && k < end; ++k)
            footprint.weights.push_back((std::min<double>(k + 1, end) - std::max<double>(k, begin)) / (end - begin));
    }
    return result;
}

}  // namespace

bool writeFramePicture(const RgbImage& frame, int longerSide, const std::string& path, std::string& error)
{
    int width = frame.width(), height = frame.height();
    if (longerSide > 0) {
        const double scale = double(longerSide) / std::max(width, height);
        width = std::max(1, int(std::lround(width * scale)));
        height = std::max(1, int(std::lround(height * scale)));
    }
    const std::vector<Footprint> columns = footprints(frame.width(), width);
    const std::vector<Footprint> rows = footprints(frame.height(), height);
    VESK::CPicture picture(CMyVector<int, 2>(width, height), VESK::PICTURE_BGR);
    std::vector<double> line(3 * std::size_t(width));
    for (int y = 0; y < height; ++y) {
        std::fill(line.begin(), line.end(), 0.0);
        const Footprint& row = rows[std::size_t(y)];
        for (std::size_t r = 0; r < row.weights.size(); ++r)
            for (int x = 0; x < width; ++x) {
                const Footprint& column = columns[std::size_t(x)];
                for (std::size_t c = 0; c < column.weights.size(); ++c) {
                    const RgbImage::Pixel p = frame.at(column.first + int(c), row.first + int(r));
                    const double weight = row.weights[r] * column.weights[c];
                    line[3 * std::size_t(x)] += weight * p.blue;
                    line[3 * std::size_t(x) + 1] += weight * p.green;
                    line[3 * std::size_t(x) + 2] += weight * p.red;
                }
            }
        std::uint8_t* out = picture.pixels + 3 * std::size_t(y) * std::size_t(width);
        for (std::size_t i = 0; i < line.size(); ++i)
            out[i] = static_cast<std::uint8_t>(std::clamp(std::lround(line[i]), 0L, 255L));
    }
    try {
        VESK::CPictureLoader().saveToFile(&picture, path);
    } catch (const DEBUGGING::CException& failure) {
        error = failure.what();
        return false;
    }
    return true;
}
