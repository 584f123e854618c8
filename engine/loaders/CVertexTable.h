#pragma once

#include <cstddef>
#include <cstdint>

#include "CGroupArray.h"
#include "Prefetch.h"

// The distinct vertices of one mesh load, numbered in order of first
// appearance, with an exact-match lookup: two vertices are the same only when
// all their floats are equal bit for bit (0.0 and -0.0 differ, NaNs compare by
// their bits). Owned by the corner resolver of one mesh load (CCornerResolver).

namespace VESK {

class CVertexTable {
public:
    // At most `maximumVertices` vertices; the default keeps every number and
    // number + 1 within 32 bits.
    explicit CVertexTable(std::size_t maximumVertices = 0xFFFFFFFEu) : limit(maximumVertices) {}

    // Empties the table and sets the number of floats per vertex (at most 8).
    void reset(std::uint32_t floatsPerVertex);

    // The number of the vertex equal to the `floatsPerVertex` floats at
    // `vertex`, appending it as a new vertex when there is none. `hash` is
    // hashOf(vertex). Throws std::length_error when a new vertex would go
    // beyond the table's maximum.
    std::uint32_t findOrAdd(const float* vertex, std::uint32_t hash);
    std::uint32_t findOrAdd(const float* vertex) { return findOrAdd(vertex, hashOf(vertex)); }

    // Starts fetching the slot where a lookup of `hash` begins, so that a
    // findOrAdd shortly after does not wait for memory.
    void prefetch(std::uint32_t hash) const
    {
        if (slots.size() > 0)
            VESK::prefetch(slots.at(hash & (slots.size() - 1)));
    }

    // Makes room for `vertexCount` vertices in the lookup at once, so that it
    // is not rebuilt again and again while they are added.
    void reserve(std::size_t vertexCount)
    {
        if (vertexCount * 4 > slots.size() * 3)
            rebuildSlots(slotsFor(vertexCount));
    }

    // The hash of the `floatsPerVertex` floats at `vertex` under this load's seed.
    std::uint32_t hashOf(const float* vertex) const;

    // Gives every stored vertex a larger layout: float i of a vertex moves to
    // float destination[i] of the new `floatsPerVertex`; the others are 0.
    // Numbers are kept, since zero-filling keeps distinct vertices distinct.
    void widen(std::uint32_t floatsPerVertex, const std::uint32_t* destination);

    std::size_t getVertexCount() const { return floats.size(); }
    // Hands the vertices over, back to back, to be freed with delete[]; the
    // table is then empty.
    float* releaseVertices();

private:
    struct Slot {
        std::uint32_t hash;
        std::uint32_t numberPlusOne;  // 0: empty slot
    };

    static std::size_t slotsFor(std::size_t vertexCount);
    void growSlots();
    void rebuildSlots(std::size_t slotCount);

    std::size_t limit;
    std::uint32_t stride = 3;
    // Drawn afresh for every load, so that no file can be made to pile its
    // vertices into one run of slots.
    std::uint64_t seed = 0;
    CGroupArray<float> floats{3};  // one group per vertex
    CGroupArray<Slot> slots;  // open addressing, linear probing, power-of-two size
};

}  // namespace VESK
