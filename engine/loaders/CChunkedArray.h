#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

// A growable array of fixed-width groups of values (a position is a group of
// three floats) stored in chunks of 65536 groups. It never moves what it
// holds, so growing it costs no copies and touches no memory twice: the
// working lists of a large mesh load grow without the doubling a vector does.
// Owned by the loader that fills it; clear() frees the chunks.

namespace VESK {

template <class T>
class CChunkedArray {
public:
    static constexpr std::size_t chunkBits = 16;
    static constexpr std::size_t groupsPerChunk = std::size_t(1) << chunkBits;

    explicit CChunkedArray(std::size_t groupSize = 1) : width(groupSize) {}

    // Frees every chunk and sets the width of the groups stored from now on.
    void clear(std::size_t groupSize)
    {
        std::vector<std::unique_ptr<T[]>>().swap(chunks);
        width = groupSize;
        count = 0;
    }

    std::size_t size() const { return count; }
    std::size_t groupSize() const { return width; }

    // Storage for one more group, left uninitialised for the caller to fill.
    T* append()
    {
        if ((count >> chunkBits) == chunks.size())
            chunks.emplace_back(new T[groupsPerChunk * width]);
        T* group = at(count);
        ++count;
        return group;
    }

    void append(const T* values)
    {
        std::memcpy(append(), values, width * sizeof(T));
    }

    T* at(std::size_t group) { return &chunks[group >> chunkBits][(group & (groupsPerChunk - 1)) * width]; }
    const T* at(std::size_t group) const
    {
        return &chunks[group >> chunkBits][(group & (groupsPerChunk - 1)) * width];
    }

    // Copies the groups [first, last) to `target`, back to back.
    void copyTo(std::size_t first, std::size_t last, T* target) const
    {
        while (first < last) {
            const std::size_t chunkEnd = ((first >> chunkBits) + 1) << chunkBits;
            const std::size_t end = chunkEnd < last ? chunkEnd : last;
            std::memcpy(target, at(first), (end - first) * width * sizeof(T));
            target += (end - first) * width;
            first = end;
        }
    }

private:
    std::vector<std::unique_ptr<T[]>> chunks;
    std::size_t width;
    std::size_t count = 0;
};

}  // namespace VESK
