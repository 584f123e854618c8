#include "FailingAllocations.h"

#include <cstdlib>
#include <new>

namespace {

bool armed = false;
bool refused = false;
std::size_t threshold = 0;
int remaining = 0;

void* allocate(std::size_t size)
{
    if (armed && size >= threshold && remaining-- <= 0) {
        refused = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

}  // namespace

FailingAllocations::FailingAllocations(std::size_t minimumBytes, int allowed)
{
    threshold = minimumBytes;
    remaining = allowed;
    refused = false;
    armed = true;
}

FailingAllocations::~FailingAllocations()
{
    armed = false;
}

bool FailingAllocations::refusedAny()
{
    return refused;
}

// Every form of the global allocation functions that the program uses, so
// that memory always comes from malloc and goes back to free.
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
