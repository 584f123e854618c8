#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

// A growable, contiguous array of fixed-width groups of plain values (a
// position is a group of three floats), for the large working lists of a
// mesh load. The storage comes from new[], so a list that becomes part of a
// record is handed over with release() and freed by the record with delete[].
// Owned by the loader that fills it; clear() frees the storage.
//
// On these machines the first touch of each fresh 4 KiB page costs far more
// than filling it, so large storage asks the kernel for 2 MiB pages: one
// fault then maps 512 pages' worth, and growing by doubling stays cheap.
// Storage beyond 1 MiB is made at least 34 MiB: the C library maps blocks
// that large on their own, so a freed one goes back to the system at once
// instead of lingering in the heap, and pages never touched cost nothing.

namespace VESK {

template <class T>
class CGroupArray {
public:
    explicit CGroupArray(std::size_t groupSize = 1) : width(groupSize) {}
    ~CGroupArray() { delete[] values; }

    CGroupArray(const CGroupArray&) = delete;
    CGroupArray& operator=(const CGroupArray&) = delete;

    void swap(CGroupArray& other)
    {
        std::swap(values, other.values);
        std::swap(width, other.width);
        std::swap(count, other.count);
        std::swap(capacity, other.capacity);
    }

    // Frees the storage and sets the width of the groups stored from now on.
    void clear(std::size_t groupSize)
    {
        delete[] values;
        values = nullptr;
        width = groupSize;
        count = 0;
        capacity = 0;
    }

    // Sets the array to `groups` groups, left uninitialised.
    void allocate(std::size_t groups)
    {
        std::size_t length = groups * width;
        T* fresh = allocateValues(length);
        delete[] values;
        values = fresh;
        count = groups;
        capacity = length / width;
    }

    std::size_t size() const { return count; }
    std::size_t groupSize() const { return width; }

    // Storage for one more group, left uninitialised for the caller to fill.
    T* append()
    {
        if (count == capacity)
            grow();
        return values + count++ * width;
    }

    void append(const T* group) { std::memcpy(append(), group, width * sizeof(T)); }

    T* at(std::size_t group) { return values + group * width; }
    const T* at(std::size_t group) const { return values + group * width; }

    // Hands the storage over to be freed with delete[]; the array is then empty.
    T* release()
    {
        T* released = values;
        values = nullptr;
        count = 0;
        capacity = 0;
        return released;
    }

private:
    static constexpr std::size_t hugePage = std::size_t(2) << 20;
    static constexpr std::size_t smallBytes = std::size_t(1) << 20;
    static constexpr std::size_t mappedBytes = std::size_t(34) << 20;

    // Storage for at least `length` values; `length` is set to what it holds.
    static T* allocateValues(std::size_t& length)
    {
        if (length * sizeof(T) > smallBytes && length * sizeof(T) < mappedBytes)
            length = mappedBytes / sizeof(T);
        T* storage = new T[length];
        const std::size_t bytes = length * sizeof(T);
        if (bytes >= 2 * hugePage) {
            // Only whole 2 MiB pages inside the storage can be huge pages.
            const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(storage);
            const std::uintptr_t first = (start + hugePage - 1) & ~(hugePage - 1);
            const std::uintptr_t last = (start + bytes) & ~(hugePage - 1);
            if (last > first)
                ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
        }
        return storage;
    }

    void grow()
    {
        std::size_t length = (capacity < 64 ? 64 : capacity * 2) * width;
        T* fresh = allocateValues(length);
        if (count > 0)
            std::memcpy(fresh, values, count * width * sizeof(T));
        delete[] values;
        values = fresh;
        capacity = length / width;
    }

    T* values = nullptr;
    std::size_t width;
    std::size_t count = 0;
    std::size_t capacity = 0;
};

}  // namespace VESK
