#include "CCornerResolver.h"

#include <cstring>
#include <vector>

#include "Prefetch.h"

namespace VESK {

namespace {

using Corner = CObjLineReader::Corner;

constexpr std::uint32_t noVertex = 0xFFFFFFFFu;

// The last triple resolved at a position, with its vertex number, or
// noVertex while that corner is still in the vertex queue; position 0 before
// any.
struct LastTriple {
    Corner corner;
    std::uint32_t vertex;

    bool matches(const Corner& other) const
    {
        return corner.position == other.position && corner.texCoord == other.texCoord &&
               corner.normal == other.normal;
    }
};

// A corner on its way to a vertex number; indexData holds a placeholder for
// it meanwhile. A corner whose triple is already on its way through the
// vertex queue follows it: it builds no vertex and takes the number found
// for that triple.
struct QueuedCorner {
    Corner corner;
    std::uint32_t vertexHash;
    bool follows;
    std::size_t indexPosition;
    float vertex[8];
};

struct CornerQueue {
    static constexpr std::size_t length = 16;
    QueuedCorner entries[length];
    std::size_t first = 0;
    std::size_t size = 0;

    bool full() const { return size == length; }
    QueuedCorner& front() { return entries[first]; }
    QueuedCorner& push() { return entries[(first + size++) % length]; }
    void pop()
    {
        first = (first + 1) % length;
        --size;
    }
};

}  // namespace

struct CCornerResolver::State {
    State(const CObjLineReader::Lists& lists, Method method) : lists(lists), method(method) {}

    void catchUp();
    const Corner* firstWaiting(const Corner* corners, const Corner* end) const;
    void resolve(const Corner* corners, const Corner* end);
    void resolvePlainly(const Corner& corner);
    void queue(const Corner& corner);
    void resolveTriple();
    void resolveVertex();
    void flushQueues();
    void buildVertex(const Corner& corner, float* vertex) const;

    const CObjLineReader::Lists& lists;
    // The lists grow only between calls: where their numbers lie is looked
    // up once a call, so that the loops read them with one load less.
    const float* positions = nullptr;
    const float* normals = nullptr;
    const float* texCoords = nullptr;
    const Method method;
    bool hasNormals = false;
    bool hasTexCoords = false;
    CVertexTable vertexData;
    CGroupArray<std::uint32_t> indexData{1};
    // Corners naming data that a later line of the file defines: from the
    // first such corner on, corners wait here until the whole file is read.
    std::vector<Corner> pendingCorners;
    // One per position read. Mostly a corner's position has been seen with
    // the same triple, and a mesh written in order finds these entries in
    // the processor's cache; a corner with another triple builds its vertex.
    CGroupArray<LastTriple> lastAt{1};
    // Corners in lookup, oldest first. New vertices are added in file order,
    // so vertex numbers follow the first appearance of each vertex.
    CornerQueue tripleQueue;
    CornerQueue vertexQueue;
};

CCornerResolver::CCornerResolver(const CObjLineReader::Lists& lists, Method method)
    : state(new State(lists, method))
{
    state->vertexData.reset(3);
}

CCornerResolver::~CCornerResolver() = default;

CVertexTable& CCornerResolver::vertices()
{
    return state->vertexData;
}

CGroupArray<std::uint32_t>& CCornerResolver::indices()
{
    return state->indexData;
}

void CCornerResolver::addCorners(const Corner* corners, std::size_t count)
{
    State& s = *state;
    s.catchUp();
    const Corner* const end = corners + count;
    const Corner* const waiting = s.firstWaiting(corners, end);
    s.resolve(corners, waiting);
    if (waiting != end)
        s.pendingCorners.insert(s.pendingCorners.end(), waiting, end);
}

// Takes in what the reader added to the lists since the last call, and
// gives every position read so far its last triple. Files mostly list their
// positions before the faces, and a mesh has about as many vertices as
// positions: the vertex table makes room for them at once.
void CCornerResolver::State::catchUp()
{
    positions = lists.positions.at(0);
    normals = lists.normals.at(0);
    texCoords = lists.texCoords.at(0);
    if (lastAt.size() == lists.positions.size())
        return;
    vertexData.reserve(lists.positions.size());
    while (lastAt.size() < lists.positions.size())
        *lastAt.append() = LastTriple{Corner{0, 0, 0}, 0};
}

// The first corner naming data not read yet: it waits, and so does every
// corner after it, so that vertices keep their order of first appearance.
const Corner* CCornerResolver::State::firstWaiting(const Corner* corners, const Corner* end) const
{
    if (!pendingCorners.empty())
        return corners;
    const std::size_t positionCount = lists.positions.size();
    const std::size_t texCoordCount = lists.texCoords.size();
    const std::size_t normalCount = lists.normals.size();
    for (; corners < end; ++corners) {
        if (corners->position > positionCount || corners->texCoord > texCoordCount || corners->normal > normalCount)
            break;
    }
    return corners;
}

void CCornerResolver::State::resolve(const Corner* corners, const Corner* end)
{
    if (method == Method::plain) {
        for (; corners < end; ++corners)
            resolvePlainly(*corners);
    } else {
        for (; corners < end; ++corners)
            queue(*corners);
    }
}

void CCornerResolver::State::resolvePlainly(const Corner& corner)
{
    LastTriple& last = *lastAt.at(corner.position - 1);
    if (!last.matches(corner)) {
        float vertex[8];
        buildVertex(corner, vertex);
        last = LastTriple{corner, vertexData.findOrAdd(vertex)};
    }
    *indexData.append() = last.vertex;
}

// Starts fetching what the corner's lookup needs, its position's last
// triple and the data a new vertex would be built from, before its turn.
void CCornerResolver::State::queue(const Corner& corner)
{
    if (tripleQueue.full())
        resolveTriple();
    QueuedCorner& queued = tripleQueue.push();
    queued.corner = corner;
    prefetch(lastAt.at(corner.position - 1));
    prefetch(positions + 3 * (corner.position - 1));
    if (hasNormals && corner.normal != 0)
        prefetch(normals + 3 * (corner.normal - 1));
    if (hasTexCoords && corner.texCoord != 0)
        prefetch(texCoords + 2 * (corner.texCoord - 1));
    queued.indexPosition = indexData.size();
    *indexData.append() = noVertex;
}

// A corner repeating the last triple seen at its position takes that vertex
// number, or follows it through the vertex queue while the number is not yet
// known (a mesh written in order repeats a corner within a face or two); any
// other builds its vertex and passes on to the vertex lookup.
void CCornerResolver::State::resolveTriple()
{
    const QueuedCorner& queued = tripleQueue.front();
    LastTriple& last = *lastAt.at(queued.corner.position - 1);
    if (last.matches(queued.corner) && last.vertex != noVertex) {
        *indexData.at(queued.indexPosition) = last.vertex;
    } else {
        if (vertexQueue.full())
            resolveVertex();
        QueuedCorner& next = vertexQueue.push();
        next = queued;
        next.follows = last.matches(queued.corner);
        if (!next.follows) {
            buildVertex(next.corner, next.vertex);
            next.vertexHash = vertexData.hashOf(next.vertex);
            vertexData.prefetch(next.vertexHash);
            last = LastTriple{queued.corner, noVertex};
        }
    }
    tripleQueue.pop();
}

// A follower finds its triple's number at its position, unless a corner
// with another triple took the position meanwhile: it then looks its vertex
// up like any other. The same triple may also have passed on twice before
// the first was resolved; the vertex lookup then finds the first one's vertex.
void CCornerResolver::State::resolveVertex()
{
    QueuedCorner& queued = vertexQueue.front();
    LastTriple& last = *lastAt.at(queued.corner.position - 1);
    if (queued.follows && last.matches(queued.corner) && last.vertex != noVertex) {
        *indexData.at(queued.indexPosition) = last.vertex;
    } else {
        if (queued.follows) {
            buildVertex(queued.corner, queued.vertex);
            queued.vertexHash = vertexData.hashOf(queued.vertex);
        }
        const std::uint32_t number = vertexData.findOrAdd(queued.vertex, queued.vertexHash);
        *indexData.at(queued.indexPosition) = number;
        last = LastTriple{queued.corner, number};
    }
    vertexQueue.pop();
}

void CCornerResolver::State::flushQueues()
{
    while (tripleQueue.size > 0)
        resolveTriple();
    while (vertexQueue.size > 0)
        resolveVertex();
}

// The vertex of a corner whose indices all name data already read: position,
// then the normal slot when the file has normals, then the texture slot when
// it has texture coordinates; slots the corner names nothing for stay 0.
void CCornerResolver::State::buildVertex(const Corner& corner, float* vertex) const
{
    std::memset(vertex, 0, 8 * sizeof(float));
    std::memcpy(vertex, positions + 3 * (corner.position - 1), 3 * sizeof(float));
    std::size_t texCoordSlot = 3;
    if (hasNormals) {
        if (corner.normal != 0)
            std::memcpy(vertex + 3, normals + 3 * (corner.normal - 1), 3 * sizeof(float));
        texCoordSlot = 6;
    }
    if (hasTexCoords && corner.texCoord != 0)
        std::memcpy(vertex + texCoordSlot, texCoords + 2 * (corner.texCoord - 1), 2 * sizeof(float));
}

void CCornerResolver::widenLayout(bool withNormals, bool withTexCoords)
{
    State& s = *state;
    s.catchUp();
    s.flushQueues();
    const std::uint32_t wider = 3 + (withNormals ? 3 : 0) + (withTexCoords ? 2 : 0);
    if (s.vertexData.getVertexCount() == 0) {
        s.vertexData.reset(wider);
    } else {
        const std::uint32_t oldTexCoordSlot = s.hasNormals ? 6 : 3;
        const std::uint32_t newTexCoordSlot = withNormals ? 6 : 3;
        std::uint32_t destination[8] = {0, 1, 2, 3, 4, 5, 6, 7};
        if (s.hasTexCoords) {
            destination[oldTexCoordSlot] = newTexCoordSlot;
            destination[oldTexCoordSlot + 1] = newTexCoordSlot + 1;
        }
        s.vertexData.widen(wider, destination);
    }
    s.hasNormals = withNormals;
    s.hasTexCoords = withTexCoords;
}

// The corners that waited now name data read (the reader has checked that),
// or, for texture and normal indices, lists the file has no line of, which
// the vertex leaves out.
void CCornerResolver::finish()
{
    State& s = *state;
    s.catchUp();
    s.resolve(s.pendingCorners.data(), s.pendingCorners.data() + s.pendingCorners.size());
    s.flushQueues();
    std::vector<Corner>().swap(s.pendingCorners);
    s.lastAt.clear(1);
}

}  // namespace VESK
