// The face and neighbour queries, each a walk over the faces of the
// vertices it asks about (geom/face_walk.h).
#include "geom/mesh_queries.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "geom/face_walk.h"

namespace kivera {

// True when the faces with two hits for (a, b) are exactly those that list
// both: two distinct vertices with lists of their own that no face names
// twice. A face holding each once scores 2; one holding only one of them
// scores 1.
static bool HitsAreSharedFaces(const MeshIndex& index, int a, int b)
{
    return a != b && IsIndexedVertex(index, a) && IsIndexedVertex(index, b) &&
           !NeedsStrayFaces(index, a) && !NeedsStrayFaces(index, b) && !IsRepeated(index, a) &&
           !IsRepeated(index, b);
}

// The faces in both vertices' lists, ascending, at most kMaxEdgeFaces: the
// lists alone answer, no face is read.
static int SharedFaces(const MeshIndex& index, int a, int b, int* list)
{
    int found = 0;
    FaceCursor first = FacesOfVertex(index, a);
    FaceCursor second = FacesOfVertex(index, b);
    for (;;) {
        const int faceA = CurrentFace(index, first);
        const int faceB = CurrentFace(index, second);
        if (faceA == kNoFace || faceB == kNoFace)
            return found;
        if (faceA < faceB) {
            Advance(index, first);
        } else if (faceB < faceA) {
            Advance(index, second);
        } else {
            list[found++] = faceA;
            if (found >= kMaxEdgeFaces)
                return found;
            Advance(index, first);
            Advance(index, second);
        }
    }
}

int FindFacesWithEdge(const MeshIndex& index, int a, int b, int* list)
{
    if (HitsAreSharedFaces(index, a, b))
        return SharedFaces(index, a, b, list);
    // A face with two hits holds a or b, so it is in one of their lists.
    int found = 0;
    ForEachFaceHolding(index, a, b, [&](int face) {
        const MeshFace& entry = FaceAt(index, face);
        int hits = 0;
        for (int k = 0; k < entry.count; ++k) {
            if (entry.points[k] == a)
                ++hits;
            if (entry.points[k] == b)
                ++hits;
        }
        if (hits == 2)
            list[found++] = face;
        return found < kMaxEdgeFaces;
    });
    return found;
}

// The faces in both ascending runs, at most kMaxEdgeFaces.
static int IntersectRuns(const int* a, const int* aEnd, const int* b, const int* bEnd, int* list)
{
    int found = 0;
    ForEachInBoth(a, aEnd, b, bEnd, [&](int h) {
        list[found++] = h;
        return found < kMaxEdgeFaces;
    });
    return found;
}

void FindFacesAlongSides(const MeshIndex& index, const int* points, int n,
                         int (*lists)[kMaxEdgeFaces], int* counts)
{
    assert(n >= 0 && n <= kMaxFacePoints);
    const int* first[kMaxFacePoints];
    const int* last[kMaxFacePoints];
    bool plain[kMaxFacePoints];
    for (int k = 0; k < n; ++k)
        plain[k] = PlainRun(index, points[k], first[k], last[k]);
    for (int k = 0; k < n; ++k) {
        const int next = k + 1 == n ? 0 : k + 1;
        // Two distinct plain vertices: the faces with two hits are exactly
        // those in both runs (as HitsAreSharedFaces).
        if (plain[k] && plain[next] && points[k] != points[next])
            counts[k] = IntersectRuns(first[k], last[k], first[next], last[next], lists[k]);
        else
            counts[k] = FindFacesWithEdge(index, points[k], points[next], lists[k]);
    }
}

// Neighbour lists up to this long are searched for a repeat; longer ones
// mark their vertices with the call's stamp, so that a vertex with many
// neighbours costs no more per neighbour than one with few.
constexpr size_t kSearchedNeighbours = 32;

// Makes the per-vertex stamps, all clear, when there are none yet. False
// when there is no memory for them: the list is then searched throughout.
static bool HaveNeighbourStamps(MeshIndex& index)
{
    const size_t vertices = static_cast<size_t>(index.vertexCount);
    if (index.neighbourStamp.size() == vertices && vertices > 0)
        return true;
    try {
        index.neighbourStamp.reserve(Headroom(vertices));
        index.neighbourStamp.assign(vertices, 0);
    } catch (const std::exception&) {  // bad_alloc, or length_error past max_size()
        index.neighbourStamp.clear();
        return false;
    }
    index.stamp = 0;
    return true;
}

// A stamp no vertex carries yet.
static unsigned int FreshStamp(MeshIndex& index)
{
    if (++index.stamp == 0) {
        std::fill(index.neighbourStamp.begin(), index.neighbourStamp.end(), 0u);
        index.stamp = 1;
    }
    return index.stamp;
}

// Appends `w` to `neighbours` unless it is there already. `stamp` is 0
// while the list is searched; once the list grows long it becomes the call's
// stamp and every listed vertex carries it (points that name no vertex are
// still searched for).
static void AddNeighbour(MeshIndex& index, std::vector<int>& neighbours, unsigned int& stamp,
                         int w)
{
    if (stamp != 0 && IsIndexedVertex(index, w)) {
        unsigned int& seen = index.neighbourStamp[static_cast<size_t>(w)];
        if (seen == stamp)
            return;
        seen = stamp;
    } else if (std::find(neighbours.begin(), neighbours.end(), w) != neighbours.end()) {
        return;
    }
    neighbours.push_back(w);
    if (stamp == 0 && neighbours.size() > kSearchedNeighbours && HaveNeighbourStamps(index)) {
        stamp = FreshStamp(index);
        for (int listed : neighbours)
            if (IsIndexedVertex(index, listed))
                index.neighbourStamp[static_cast<size_t>(listed)] = stamp;
    }
}

// Lists the sides' other ends at each position of `entry` that holds v.
static void AddNeighboursInFace(MeshIndex& index, const MeshFace& entry, int v,
                                std::vector<int>& neighbours, unsigned int& stamp)
{
    const int n = entry.count;
    for (int k = 0; k < n; ++k) {
        if (entry.points[k] != v)
            continue;
        AddNeighbour(index, neighbours, stamp, entry.points[k == 0 ? n - 1 : k - 1]);
        AddNeighbour(index, neighbours, stamp, entry.points[k + 1 == n ? 0 : k + 1]);
    }
}

int CollectNeighbourVertices(MeshIndex& index, int v, std::vector<int>& neighbours)
{
    neighbours.clear();
    unsigned int stamp = 0;
    ForEachFaceHolding(index, v, v, [&](int face) {
        AddNeighboursInFace(index, FaceAt(index, face), v, neighbours, stamp);
        return true;
    });
    return static_cast<int>(neighbours.size());
}

int FindPolygonsWithVertex(const MeshIndex& index, int vertex, int* faces, int max)
{
    int found = 0;
    if (max <= 0)
        return 0;
    ForEachFaceHolding(index, vertex, vertex, [&](int face) {
        const MeshFace& entry = FaceAt(index, face);
        if (entry.count <= 2)
            return true;
        for (int k = 0; k < entry.count && found < max; ++k)
            if (entry.points[k] == vertex)
                faces[found++] = face;
        return found < max;
    });
    return found;
}

}  // namespace kivera
