#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "CGroupArray.h"
#include "CObjLineReader.h"
#include "CVertexTable.h"

// Turns the corners of an OBJ reading into vertex numbers: the vertex a
// corner's indices build (position, then normal, then texture coordinates,
// as the layout has them) is stored once in a CVertexTable, numbered in order
// of first appearance, and each corner appends its number to the index list.
// Created for one mesh load over the lists its line reader fills, and
// destroyed after it; its state lives in its source file. Any call may throw
// std::length_error, when the vertices outgrow 32-bit numbers, or
// std::bad_alloc.
//
// A corner repeating the last (position, texture, normal) triple seen at its
// position takes that vertex without building it: corners sharing a position
// mostly share the whole triple. Pipelined, corners pass two short queues
// while what each needs is fetched ahead: first the check of its position's
// last triple, then, for another triple, the lookup of the vertex it builds.
// What the pipeline gains, measured with bench_obj on meshes of 1.5M
// triangles (the first load of a fresh process, medians of 25 rounds taken in
// turns): the plain resolver, the same check and lookup done as each corner
// arrives, takes 30% longer on the grid written in order, 27% on that grid in
// 1000 usemtl groups, 23% on the torus written in shuffled order and 23% on
// the grid with positions only. bench_obj ends with this ratio per input.

namespace VESK {

class CCornerResolver : public CObjLineReader::FaceSink {
public:
    enum class Method { plain, pipelined };

    CCornerResolver(const CObjLineReader::Lists& lists, Method method);
    ~CCornerResolver() override;

    CCornerResolver(const CCornerResolver&) = delete;
    CCornerResolver& operator=(const CCornerResolver&) = delete;

    // A corner whose indices all name data already read is resolved at once
    // (pipelined: within the next few corners); from the first corner naming
    // later data on, corners wait for finish().
    void addCorners(const CObjLineReader::Corner* corners, std::size_t count) override;

    // Vertices stored before a change of layout are widened with zeros, as
    // they would have been built had the whole file been known.
    void widenLayout(bool withNormals, bool withTexCoords) override;

    // Resolves every corner still waiting and frees what only the resolving
    // needed.
    void finish();

    // The distinct vertices and, per corner, its vertex number; whole after finish().
    CVertexTable& vertices();
    CGroupArray<std::uint32_t>& indices();

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace VESK
