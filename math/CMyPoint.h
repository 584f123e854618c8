#pragma once

#include "CMyArray.h"

// A point of N values; adds nothing to its storage but its own destructor.
template <class T, std::size_t N>
class CMyPoint : public CMyArray<T, N> {
public:
    CMyPoint() = default;
    CMyPoint(const CMyPoint&) = default;
    CMyPoint& operator=(const CMyPoint&) = default;
    ~CMyPoint() override = default;
};
