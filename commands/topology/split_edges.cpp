// Split the segments of chains of selected vertices at their midpoints.
#include "commands/topology/split_edges.h"

#include <cassert>
#include <memory>
#include <new>

#include "commands/commands.h"
#include "geom/topology.h"

int SelectedNeighbours(DocumentHandle document, int objectIndex, int vertex,
                       std::vector<int>& neighbours)
{
    const ObjectHandle object = DocGetObject(document, objectIndex);
    if (!object) {
        neighbours.clear();
        return 0;
    }
    CollectNeighbourVertices(object, vertex, neighbours);
    int kept = 0;
    for (const int w : neighbours) {
        // A negative index from a broken face is no vertex; the host is not
        // asked about it.
        if (w >= 0 && DocIsSelectVertex(document, objectIndex, w) == 1)
            neighbours[kept++] = w;
    }
    neighbours.resize(kept);
    return kept;
}

static bool Contains(const int* list, int count, int key)
{
    for (int i = 0; i < count; ++i)
        if (list[i] == key)
            return true;
    return false;
}

// Whether `next` may follow the chain's last vertex: a vertex of the object
// as it was when its turn began, not yet in the chain, with room left. A
// face that repeats a vertex makes that vertex its own neighbour, and the
// walk would otherwise step back and forth over the chain without end.
static bool CanExtend(const int* chain, int length, int capacity, int next)
{
    return next >= 0 && next < capacity && length < capacity && !Contains(chain, length, next);
}

// Walks from the chain end `start`, whose one selected neighbour is `first`,
// through vertices with exactly two selected neighbours. Stops after the
// first vertex with any other number, or before a vertex CanExtend refuses.
// `chain` has room for `capacity` entries (the object's vertex count).
// Returns the chain length; below 2 there is nothing to split.
static int TraceChain(DocumentHandle document, int objectIndex, int start, int first,
                      int* chain, int capacity, std::vector<int>& neighbours)
{
    assert(capacity > 0 && start >= 0 && start < capacity);
    chain[0] = start;
    int length = 1;
    int next = first;
    while (CanExtend(chain, length, capacity, next)) {
        chain[length++] = next;
        if (SelectedNeighbours(document, objectIndex, next, neighbours) != 2)
            break;
        const int cameFrom = chain[length - 2];
        next = neighbours[0] != cameFrom ? neighbours[0] : neighbours[1];
    }
    assert(length <= capacity);
    return length;
}

// (a + b) / 2 per component, computed in double and rounded once, so that the
// midpoint of two very large coordinates stays finite.
static Point3 Midpoint(const Point3& a, const Point3& b)
{
    return {static_cast<float>((double(a.x) + double(b.x)) / 2.0),
            static_cast<float>((double(a.y) + double(b.y)) / 2.0),
            static_cast<float>((double(a.z) + double(b.z)) / 2.0)};
}

// Replaces the faces holding both a and b by the lines [a, m] and [b, m]
// through a new midpoint vertex m. The faces are found before anything is
// added; they are deleted only once both new lines exist, so that a host
// that refuses an addition never leaves the segment without its edge.
static void SplitSegment(ObjectHandle object, int a, int b)
{
    int faces[kMaxEdgeFaces];
    const int faceCount = FindFacesWithEdge(object, a, b, faces);
    const Point3 pa = ObjGetVertex(object, a);
    const Point3 pb = ObjGetVertex(object, b);
    const int m = ObjAddVertex(object, Midpoint(pa, pb));
    if (m < 0)
        return;
    const int lineA[2] = {a, m};
    const int lineB[2] = {b, m};
    const bool addedA = ObjAddFace(object, 2, lineA) >= 0;
    const bool addedB = ObjAddFace(object, 2, lineB) >= 0;
    if (!addedA || !addedB)
        return;
    for (int f = 0; f < faceCount; ++f)
        ObjDeleteFace(object, faces[f], 1);
}

// Traces and splits every chain of one object that starts at one of the
// vertices the object had when its turn began.
static void SplitObjectChains(DocumentHandle document, int objectIndex, ObjectHandle object,
                              std::vector<int>& neighbours)
{
    const int vertexCount = ObjGetVertexCount(object);
    if (vertexCount <= 0)
        return;
    // No chain repeats a vertex, so the vertex count bounds its length. An
    // object whose buffer cannot be had is left as it is.
    const std::unique_ptr<int[]> chain(new (std::nothrow) int[vertexCount]);
    if (!chain)
        return;
    for (int j = 0; j < vertexCount; ++j) {
        if (ObjGetVertexRefCount(object, j) == 0)
            continue;
        if (DocIsSelectVertex(document, objectIndex, j) != 1)
            continue;
        if (SelectedNeighbours(document, objectIndex, j, neighbours) != 1)
            continue;
        const int length = TraceChain(document, objectIndex, j, neighbours[0], chain.get(),
                                      vertexCount, neighbours);
        for (int k = 0; k + 1 < length; ++k)
            SplitSegment(object, chain[k], chain[k + 1]);
    }
}

int SplitEdges(DocumentHandle document)
{
    std::vector<int> neighbours;
    const int objectCount = DocGetObjectCount(document);
    for (int i = 0; i < objectCount; ++i) {
        const ObjectHandle object = DocGetObject(document, i);
        if (object)
            SplitObjectChains(document, i, object, neighbours);
    }
    return 1;
}
