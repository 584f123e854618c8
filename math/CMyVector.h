#pragma once

#include "CMyPoint.h"

// A vector of N values built from exactly N element values, each converted to T
// (so a float vector takes double arguments and narrows them). Value semantics.
template <class T, std::size_t N>
class CMyVector : public CMyPoint<T, N> {
public:
    CMyVector() = default;

    template <class... Rest>
    explicit CMyVector(T first, Rest... rest)
    {
        static_assert(sizeof...(Rest) + 1 == N, "CMyVector takes exactly N values");
        const T given[N] = {first, static_cast<T>(rest)...};
        for (std::size_t i = 0; i < N; ++i)
            this->values[i] = given[i];
    }

    CMyVector(const CMyVector& other) : CMyPoint<T, N>()
    {
        for (std::size_t i = 0; i < N; ++i)
            this->values[i] = other.values[i];
    }

    CMyVector& operator=(const CMyVector& other)
    {
        for (std::size_t i = 0; i < N; ++i)
            this->values[i] = other.values[i];
        return *this;
    }

    ~CMyVector() override = default;
};
