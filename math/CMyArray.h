#pragma once

#include <cstddef>

// Storage of N values of type T, all zero by default. A plain value type with a
// virtual destructor: only the elements of one object are contiguous.
template <class T, std::size_t N>
class CMyArray {
public:
    CMyArray()
    {
        for (std::size_t i = 0; i < N; ++i)
            values[i] = T(0);
    }
    CMyArray(const CMyArray&) = default;
    CMyArray& operator=(const CMyArray&) = default;
    virtual ~CMyArray() = default;

    // Callers keep i below N; no check is made.
    T& operator[](std::size_t i) { return values[i]; }
    const T& operator[](std::size_t i) const { return values[i]; }

    T* data() { return values; }
    const T* data() const { return values; }

protected:
    T values[N];
};
