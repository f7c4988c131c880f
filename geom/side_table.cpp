// The side table, worked out while the build places the faces or from a
// finished index.
#include "geom/side_table.h"

#include <algorithm>

#include "geom/face_walk.h"

namespace kivera {

// Sets every side of face `face` that joins a and b to `value`.
static void SetSidesJoining(const MeshIndex& index, int* sides, int face, int a, int b, int value)
{
    const MeshFace& entry = FaceAt(index, face);
    const int n = entry.count;
    for (int j = 0; j < n; ++j) {
        const int p = entry.points[j];
        const int q = entry.points[j + 1 == n ? 0 : j + 1];
        if ((p == a && q == b) || (p == b && q == a))
            sides[static_cast<size_t>(face) * kMaxFacePoints + static_cast<size_t>(j)] = value;
    }
}

// For a pair of points (a, b) of face f, while the faces are placed from the
// last to the first: the faces above f that hold both are those in both
// runs, from the cursors on. Makes f a holder of the pair for them: with
// one such face h, h had the pair to itself until now (else f would see the
// others too) and its sides joining a and b now list f; with more, those
// sides list three faces or more and are asked for. Returns what f's own
// side joining a and b lists besides f: kNoSideNeighbour, h or kAskForSide.
static int PairWithFacesAbove(const MeshIndex& index, int* sides, int f, int a, int b)
{
    const int* incident = index.incident.get();
    const int* cursor = index.firstFace.data() + 1;
    const unsigned char* placed = index.placedFaces.data();
    if (placed[a] == 0 || placed[b] == 0)
        return kNoSideNeighbour;   // nothing above f holds one of them
    const int* aRun = incident + cursor[a];
    const int* bRun = incident + cursor[b];
    int above = 0;
    int first = kNoSideNeighbour;
    ForEachInBoth(aRun, aRun + placed[a], bRun, bRun + placed[b], [&](int h) {
        if (above++ == 0)
            first = h;
        return true;
    });
    if (above == 0)
        return kNoSideNeighbour;
    if (above == 1) {
        SetSidesJoining(index, sides, first, a, b, f);
        return first;
    }
    ForEachInBoth(aRun, aRun + placed[a], bRun, bRun + placed[b], [&](int h) {
        SetSidesJoining(index, sides, h, a, b, kAskForSide);
        return true;
    });
    return kAskForSide;
}

// The placing pass of a build whose vertices are all plain, filling the
// side table as FindSideNeighbours would: faces are placed from the last to
// the first, so when face f comes, each vertex's run holds, from its cursor
// on, exactly its faces above f (placedFaces of them), and every pair of
// f's points is settled with those faces (PairWithFacesAbove): its sides,
// and for a quad its diagonals, which make f a holder of the pair too.
// Faces below f that hold a pair come later and mend f's entry the same
// way. A vertex with more faces than a byte counts has all its sides asked
// for, by every face.
void PlaceFacesWithSides(MeshIndex& index, int* sides)
{
    const int faceCount = static_cast<int>(index.faces.size());
    int* incident = index.incident.get();
    int* cursor = index.firstFace.data() + 1;
    unsigned char* placed = index.placedFaces.data();
    const unsigned char* flags = index.vertexFlags.data();
    const auto crowded = [flags](int a, int b) { return ((flags[a] | flags[b]) & kVertexCrowded) != 0; };
    for (int f = faceCount - 1; f >= 0; --f) {
        const MeshFace& face = FaceAt(index, f);
        const int n = face.count;
        const int* p = face.points;
        int* across = sides + static_cast<size_t>(f) * kMaxFacePoints;
        for (int k = 0; k < n; ++k) {
            const int a = p[k];
            const int b = p[k + 1 == n ? 0 : k + 1];
            assert(IsIndexedVertex(index, a) && IsIndexedVertex(index, b));
            // A face of one point joins it to itself: asked, as by the lookups.
            across[k] = (a == b || crowded(a, b)) ? kAskForSide
                                                  : PairWithFacesAbove(index, sides, f, a, b);
        }
        for (int k = n; k < kMaxFacePoints; ++k)
            across[k] = kAskForSide;
        if (n == 4)
            for (int k = 0; k < 2; ++k)
                if (!crowded(p[k], p[k + 2]))
                    PairWithFacesAbove(index, sides, f, p[k], p[k + 2]);
        for (int k = 0; k < n; ++k) {
            incident[--cursor[p[k]]] = f;
            ++placed[p[k]];
        }
    }
}

void PrepareSidePlacing(MeshIndex& index)
{
    const size_t vertices = static_cast<size_t>(index.builtVertexCount);
    for (size_t v = 0; v < vertices; ++v)
        if (index.firstFace[v + 1] > kMostPlacedFaces)
            index.vertexFlags[v] |= kVertexCrowded;
    index.placedFaces.assign(vertices, 0);
}

// Whether `entry` names `w`. Unused point slots hold -1, which no vertex is.
static bool FaceNames(const MeshFace& entry, int w)
{
    static_assert(kMaxFacePoints == 4, "the test below names each slot");
    return (entry.points[0] == w) | (entry.points[1] == w) | (entry.points[2] == w) |
           (entry.points[3] == w);
}

// The table entry for side (a, b) of `face`: what FindFacesWithEdge(a, b)
// reports, as the face itself and at most one other.
static int SideNeighbour(const MeshIndex& index, int face, int a, int b)
{
    const int* first;
    const int* last;
    const int* unused;
    if (a == b || !PlainRun(index, b, unused, unused) || !PlainRun(index, a, first, last))
        return kAskForSide;
    // With a and b plain, the faces holding both are exactly those around
    // a that name b (each names each of them once): two hits.
    int holders = 0;
    int other = kNoSideNeighbour;
    for (; first != last; ++first) {
        const bool names = FaceNames(FaceAt(index, *first), b);
        holders += names;
        other = names && *first != face ? *first : other;
    }
    return holders == 1 ? kNoSideNeighbour : holders == 2 ? other : kAskForSide;
}

// Faces in ascending order, so that the runs and faces read are mostly
// those read just before. A side shared by two faces is worked out once,
// from the lower face, and entered for both.
void FindSideNeighbours(const MeshIndex& index, int* sides, int faceCount)
{
    assert(faceCount >= 0 && faceCount <= static_cast<int>(index.faces.size()));
    std::fill(sides, sides + static_cast<size_t>(faceCount) * kMaxFacePoints, kAskForSide);
    for (int face = 0; face < faceCount; ++face) {
        int* across = sides + static_cast<size_t>(face) * kMaxFacePoints;
        const MeshFace& entry = FaceAt(index, face);
        const int n = entry.count;
        for (int k = 0; k < n; ++k) {
            if (across[k] != kAskForSide)
                continue;   // entered from the face across
            const int a = entry.points[k];
            const int b = entry.points[k + 1 == n ? 0 : k + 1];
            across[k] = SideNeighbour(index, face, a, b);
            if (across[k] > face && across[k] < faceCount)
                SetSidesJoining(index, sides, across[k], a, b, face);
        }
    }
}

}  // namespace kivera
