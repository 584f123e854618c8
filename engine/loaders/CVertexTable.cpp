#include "CVertexTable.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>

namespace VESK {

namespace {

constexpr std::size_t initialSlots = 1024;

}  // namespace

void CVertexTable::reset(std::uint32_t floatsPerVertex)
{
    stride = floatsPerVertex;
    seed = (std::uint64_t(std::random_device()()) << 32) | std::random_device()();
    floats.clear(floatsPerVertex);
    std::vector<Slot>().swap(slots);
}

std::uint32_t CVertexTable::hashOf(const float* vertex) const
{
    std::uint64_t h = seed ^ (0x9E3779B97F4A7C15ull * (stride + 1));
    for (std::uint32_t i = 0; i < stride; ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, vertex + i, sizeof(bits));
        h = (h ^ bits) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 31;
    }
    return static_cast<std::uint32_t>(h >> 32);
}

std::uint32_t CVertexTable::findOrAdd(const float* vertex, std::uint32_t hash)
{
    if (slots.empty())
        slots.assign(initialSlots, Slot{0, 0});
    const std::size_t mask = slots.size() - 1;
    const std::size_t bytes = stride * sizeof(float);
    std::size_t i = hash & mask;
    for (;; i = (i + 1) & mask) {
        const Slot slot = slots[i];
        if (slot.numberPlusOne == 0)
            break;
        if (slot.hash == hash && std::memcmp(floats.at(slot.numberPlusOne - 1), vertex, bytes) == 0)
            return slot.numberPlusOne - 1;
    }
    if (floats.size() >= limit)
        throw std::length_error("more vertices than the table allows");
    const std::uint32_t number = static_cast<std::uint32_t>(floats.size());
    floats.append(vertex);
    slots[i] = Slot{hash, number + 1};
    if (floats.size() * 2 > slots.size())
        growSlots();
    return number;
}

void CVertexTable::rebuildSlots(std::size_t slotCount)
{
    slots.assign(slotCount, Slot{0, 0});
    const std::size_t mask = slotCount - 1;
    for (std::size_t number = 0; number < floats.size(); ++number) {
        const std::uint32_t hash = hashOf(floats.at(number));
        std::size_t i = hash & mask;
        while (slots[i].numberPlusOne != 0)
            i = (i + 1) & mask;
        slots[i] = Slot{hash, static_cast<std::uint32_t>(number + 1)};
    }
}

void CVertexTable::growSlots()
{
    std::vector<Slot> larger(slots.size() * 2, Slot{0, 0});
    const std::size_t mask = larger.size() - 1;
    for (const Slot& slot : slots) {
        if (slot.numberPlusOne == 0)
            continue;
        std::size_t i = slot.hash & mask;
        while (larger[i].numberPlusOne != 0)
            i = (i + 1) & mask;
        larger[i] = slot;
    }
    slots.swap(larger);
}

void CVertexTable::widen(std::uint32_t floatsPerVertex, const std::uint32_t* destination)
{
    CChunkedArray<float> wider(floatsPerVertex);
    for (std::size_t number = 0; number < floats.size(); ++number) {
        float* target = wider.append();
        std::fill(target, target + floatsPerVertex, 0.0f);
        const float* source = floats.at(number);
        for (std::uint32_t i = 0; i < stride; ++i)
            target[destination[i]] = source[i];
    }
    std::swap(floats, wider);
    stride = floatsPerVertex;
    if (!slots.empty())
        rebuildSlots(slots.size());
}

}  // namespace VESK
