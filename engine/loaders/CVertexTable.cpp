#include "CVertexTable.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <random>
#include <stdexcept>

namespace VESK {

namespace {

constexpr std::size_t initialSlots = 64;

// A fresh, unpredictable seed for every load, so that no file can be made to
// pile its vertices into one run of slots. std::random_device costs a system
// call or two, a fifth of a small file's load, so it is drawn once per
// process; each load mixes it with a count of loads through splitmix64,
// whose output a reader of the file cannot foresee without the drawn value.
std::uint64_t nextSeed()
{
    static const std::uint64_t drawn = (std::uint64_t(std::random_device()()) << 32) | std::random_device()();
    static std::atomic<std::uint64_t> loads{0};
    std::uint64_t z = drawn + (loads.fetch_add(1, std::memory_order_relaxed) + 1) * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

void CVertexTable::reset(std::uint32_t floatsPerVertex)
{
    stride = floatsPerVertex;
    seed = nextSeed();
    floats.clear(floatsPerVertex);
    slots.clear(1);
}

// Mixes two floats at a time: half the rounds of a float-by-float mix, on
// the bits of every float.
std::uint32_t CVertexTable::hashOf(const float* vertex) const
{
    std::uint64_t h = seed ^ (0x9E3779B97F4A7C15ull * (stride + 1));
    std::uint32_t i = 0;
    for (; i + 2 <= stride; i += 2) {
        std::uint64_t bits;
        std::memcpy(&bits, vertex + i, sizeof(bits));
        h = (h ^ bits) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    if (i < stride) {
        std::uint32_t bits;
        std::memcpy(&bits, vertex + i, sizeof(bits));
        h = (h ^ bits) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    h *= 0xC4CEB9FE1A85EC53ull;
    return static_cast<std::uint32_t>(h >> 32);
}

std::uint32_t CVertexTable::findOrAdd(const float* vertex, std::uint32_t hash)
{
    if (slots.size() == 0)
        rebuildSlots(initialSlots);
    const std::size_t mask = slots.size() - 1;
    const std::size_t bytes = stride * sizeof(float);
    std::size_t i = hash & mask;
    for (;; i = (i + 1) & mask) {
        const Slot slot = *slots.at(i);
        if (slot.numberPlusOne == 0)
            break;
        if (slot.hash == hash && std::memcmp(floats.at(slot.numberPlusOne - 1), vertex, bytes) == 0)
            return slot.numberPlusOne - 1;
    }
    if (floats.size() >= limit)
        throw std::length_error("more vertices than the table allows");
    const std::uint32_t number = static_cast<std::uint32_t>(floats.size());
    floats.append(vertex);
    *slots.at(i) = Slot{hash, number + 1};
    if (floats.size() * 4 > slots.size() * 3)
        growSlots();
    return number;
}

// A power of two, with at most three slots in four taken.
std::size_t CVertexTable::slotsFor(std::size_t vertexCount)
{
    std::size_t count = initialSlots;
    while (vertexCount * 4 > count * 3)
        count *= 2;
    return count;
}

void CVertexTable::rebuildSlots(std::size_t slotCount)
{
    CGroupArray<Slot> fresh;
    fresh.allocate(slotCount);
    std::fill(fresh.at(0), fresh.at(slotCount), Slot{0, 0});
    const std::size_t mask = slotCount - 1;
    for (std::size_t number = 0; number < floats.size(); ++number) {
        const std::uint32_t hash = hashOf(floats.at(number));
        std::size_t i = hash & mask;
        while (fresh.at(i)->numberPlusOne != 0)
            i = (i + 1) & mask;
        *fresh.at(i) = Slot{hash, static_cast<std::uint32_t>(number + 1)};
    }
    slots.swap(fresh);
}

void CVertexTable::growSlots()
{
    CGroupArray<Slot> larger;
    larger.allocate(slots.size() * 2);
    std::fill(larger.at(0), larger.at(larger.size()), Slot{0, 0});
    const std::size_t mask = larger.size() - 1;
    for (std::size_t k = 0; k < slots.size(); ++k) {
        const Slot slot = *slots.at(k);
        if (slot.numberPlusOne == 0)
            continue;
        std::size_t i = slot.hash & mask;
        while (larger.at(i)->numberPlusOne != 0)
            i = (i + 1) & mask;
        *larger.at(i) = slot;
    }
    slots.swap(larger);
}

void CVertexTable::widen(std::uint32_t floatsPerVertex, const std::uint32_t* destination)
{
    CGroupArray<float> wider(floatsPerVertex);
    for (std::size_t number = 0; number < floats.size(); ++number) {
        float* target = wider.append();
        std::fill(target, target + floatsPerVertex, 0.0f);
        const float* source = floats.at(number);
        for (std::uint32_t i = 0; i < stride; ++i)
            target[destination[i]] = source[i];
    }
    floats.swap(wider);
    stride = floatsPerVertex;
    if (slots.size() > 0)
        rebuildSlots(slots.size());
}

float* CVertexTable::releaseVertices()
{
    slots.clear(1);
    return floats.release();
}

}  // namespace VESK
