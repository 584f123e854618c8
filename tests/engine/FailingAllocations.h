#pragma once

#include <cstddef>

// While an instance lives, the program's operator new throws std::bad_alloc
// for every allocation of at least `minimumBytes` once `allowed` such
// allocations have succeeded: a test can make a load run out of memory at each
// of its large allocations in turn. test_engine replaces the global
// allocation functions for this (FailingAllocations.cpp).
class FailingAllocations {
public:
    FailingAllocations(std::size_t minimumBytes, int allowed);
    ~FailingAllocations();

    // True once an allocation was refused.
    static bool refusedAny();
};
