// Split edges: open chains of selected vertices are traced from one end and
// each segment between consecutive chain vertices is replaced by two lines
// meeting at a new vertex halfway between its ends.
#include <cassert>
#include <memory>
#include <new>
#include <vector>

#include "commands/commands.h"
#include "hostaccess/object_loops.h"
#include "hostaccess/mesh_editor.h"
#include "hostaccess/mesh_reader.h"
#include "geom/mesh_queries.h"

namespace kivera {

// The neighbours of `vertex` in object `objectIndex`, whose faces `index`
// holds, that are selected, in order of discovery, compacted to the front of
// `neighbours` (which is resized to hold exactly them). Returns their count.
static int SelectedNeighbours(DocumentHandle document, int objectIndex, MeshIndex& index,
                              int vertex, std::vector<int>& neighbours)
{
    CollectNeighbourVertices(index, vertex, neighbours);
    int kept = 0;
    for (const int w : neighbours) {
        // A negative index from a broken face is no vertex; the host is not
        // asked about it.
        if (w >= 0 && IsReportedSelected(document, objectIndex, w))
            neighbours[kept++] = w;
    }
    neighbours.resize(kept);
    return kept;
}

namespace {

// A chain under construction: its vertices in order, and one flag per vertex
// of the object (as it was when its turn began) telling whether the chain
// holds it. Both have room for `capacity` entries.
struct Chain {
    int* vertices;
    unsigned char* holds;
    int length;
    int capacity;
};

}  // namespace

// Whether `next` may follow the chain's last vertex: a vertex of the object
// as it was when its turn began, not yet in the chain, with room left. A
// face that repeats a vertex makes that vertex its own neighbour, and the
// walk would otherwise step back and forth over the chain without end.
static bool CanExtend(const Chain& chain, int next)
{
    return next >= 0 && next < chain.capacity && chain.length < chain.capacity &&
           !chain.holds[next];
}

static void Extend(Chain& chain, int next)
{
    chain.vertices[chain.length++] = next;
    chain.holds[next] = 1;
}

// Walks from the chain end `start`, whose one selected neighbour is `first`,
// through vertices with exactly two selected neighbours. Stops after the
// first vertex with any other number, or before a vertex CanExtend refuses.
// Returns the chain length; below 2 there is nothing to split. The chain's
// flags are left set; ForgetChain clears them.
static int TraceChain(DocumentHandle document, int objectIndex, MeshIndex& index, int start,
                      int first, Chain& chain, std::vector<int>& neighbours)
{
    assert(chain.capacity > 0 && start >= 0 && start < chain.capacity);
    chain.length = 0;
    Extend(chain, start);
    int next = first;
    while (CanExtend(chain, next)) {
        Extend(chain, next);
        if (SelectedNeighbours(document, objectIndex, index, next, neighbours) != 2)
            break;
        const int cameFrom = chain.vertices[chain.length - 2];
        next = neighbours[0] != cameFrom ? neighbours[0] : neighbours[1];
    }
    assert(chain.length <= chain.capacity);
    return chain.length;
}

// Clears the flags of the chain's vertices, ready for the next chain.
static void ForgetChain(Chain& chain)
{
    for (int k = 0; k < chain.length; ++k)
        chain.holds[chain.vertices[k]] = 0;
    chain.length = 0;
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
// through a new midpoint vertex m. The
// faces are found before anything is added; they are deleted only once both
// new lines exist, so that a host that refuses an addition never leaves the
// segment without its edge. A segment for whose record there is no memory is
// left as it is.
static void SplitSegment(MeshEditor& editor, int a, int b)
{
    const ObjectHandle object = editor.object;
    MeshIndex& index = editor.index;
    int faces[kMaxEdgeFaces];
    const int faceCount = FindFacesWithEdge(index, a, b, faces);
    const Point3 pa = ObjGetVertex(object, a);
    const Point3 pb = ObjGetVertex(object, b);
    if (!ReserveMeshEdits(index, 1, 2))
        return;
    const int m = EditorAddVertex(editor, Midpoint(pa, pb));
    if (m < 0)
        return;
    const int lineA[2] = {a, m};
    const int lineB[2] = {b, m};
    const int faceA = EditorAddFace(editor, 2, lineA);
    const int faceB = EditorAddFace(editor, 2, lineB);
    if (faceA < 0 || faceB < 0)
        return;
    for (int f = 0; f < faceCount; ++f)
        EditorDeleteFace(editor, faces[f]);
}

// Traces and splits every chain of one object that starts at one of the
// vertices the object had when its turn began. `index` is working memory
// shared by the objects.
static void SplitObjectChains(DocumentHandle document, int objectIndex, ObjectHandle object,
                              MeshIndex& index, std::vector<int>& neighbours)
{
    const int vertexCount = ObjGetVertexCount(object);
    if (vertexCount <= 0)
        return;
    // No chain repeats a vertex, so the vertex count bounds its length. An
    // object whose working memory cannot be had is left as it is.
    const std::unique_ptr<int[]> vertices(new (std::nothrow) int[vertexCount]);
    const std::unique_ptr<unsigned char[]> holds(new (std::nothrow) unsigned char[vertexCount]());
    if (!vertices || !holds || !ReadMeshIndex(index, object))
        return;
    Chain chain = {vertices.get(), holds.get(), 0, vertexCount};
    MeshEditor editor = {object, index};
    for (int j = 0; j < vertexCount; ++j) {
        if (!IsSelectedVertex(document, object, objectIndex, j))
            continue;
        if (SelectedNeighbours(document, objectIndex, index, j, neighbours) != 1)
            continue;
        const int length =
            TraceChain(document, objectIndex, index, j, neighbours[0], chain, neighbours);
        for (int k = 0; k + 1 < length; ++k) {
            SplitSegment(editor, chain.vertices[k], chain.vertices[k + 1]);
            // The rest of the object would be split on answers that no
            // longer describe it.
            if (!MeshIndexFollowsObject(index))
                return;
        }
        ForgetChain(chain);
    }
}

int SplitEdges(DocumentHandle document)
{
    // Without working memory nothing is split.
    std::vector<int> neighbours;
    ForEachObjectWithIndex(document, [&](int i, ObjectHandle object, MeshIndex& index) {
        SplitObjectChains(document, i, object, index, neighbours);
    });
    return 1;
}

}  // namespace kivera
