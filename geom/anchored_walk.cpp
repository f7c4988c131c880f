#include "geom/anchored_walk.h"

#include <algorithm>
#include <cassert>
#include <cstddef>

#include "geom/mesh_face.h"
#include "geom/mesh_queries.h"
#include "geom/side_table.h"

namespace kivera {

// The states of a face during a walk. A waiting face is on the stack exactly
// once; the state spares searching the stack for it.
constexpr unsigned char kUnseen = 0;
constexpr unsigned char kVisited = 1;
constexpr unsigned char kWaiting = 2;

bool AnchoredFaceWalk(const MeshIndex& index, int startFace, int startAnchor,
                      const FaceWalkScratch& scratch, FaceVisitAction action)
{
    const int faceCount = IndexedFaceCount(index);
    if (faceCount > scratch.capacity || startFace < 0 || startFace >= faceCount)
        return false;
    // A byte per face keeps the states of a million faces in the cache.
    unsigned char* state = scratch.states;
    int* stackFaces = scratch.stackFaces;
    int* stackAnchors = scratch.stackAnchors;
    std::fill(state, state + faceCount, kUnseen);
    // Pushes `next`, reached across a side starting at `anchor`, unless it
    // is visited or waiting already.
    int stackCount = 0;
    const auto push = [&](int next, int anchor) {
        if (next < 0 || next >= faceCount || state[next] != kUnseen)
            return;
        // The stack holds distinct faces that are not visited yet: there
        // is always room for one more.
        assert(stackCount < faceCount);
        stackFaces[stackCount] = next;
        stackAnchors[stackCount] = anchor;
        state[next] = kWaiting;
        ++stackCount;
    };
    push(startFace, startAnchor);
    while (stackCount > 0) {
        --stackCount;
        const int face = stackFaces[stackCount];
        const int anchor = stackAnchors[stackCount];
        assert(state[face] == kWaiting);
        state[face] = kVisited;
        int points[kMaxFacePoints];
        const int n = IndexedFacePoints(index, face, points);
        if (!action(face, anchor, points, n))
            break;
        if (n == 0)
            continue;
        // The faces along every side k (points k and k + 1, in ascending
        // order), walked from the anchor's side on. Only a face that repeats
        // a vertex can lack its anchor; its sides are then walked from side 0.
        const int* across = scratch.sides + static_cast<size_t>(face) * kMaxFacePoints;
        bool askEverySide = false;
        for (int side = 0; side < n; ++side)
            askEverySide |= across[side] == kAskForSide;
        const int start = std::max(FindPointPosition(points, n, anchor), 0);
        if (!askEverySide) {
            // Each side lists the face itself, visited now, and at most
            // the one other face the table names.
            for (int step = 0, side = start; step < n; ++step, side = side + 1 == n ? 0 : side + 1)
                push(across[side], points[side]);
            continue;
        }
        int neighbours[kMaxFacePoints][kMaxEdgeFaces];
        int found[kMaxFacePoints];
        FindFacesAlongSides(index, points, n, neighbours, found);
        for (int step = 0, side = start; step < n; ++step, side = side + 1 == n ? 0 : side + 1)
            for (int i = 0; i < found[side]; ++i)
                push(neighbours[side][i], points[side]);
    }
    return true;
}

}  // namespace kivera
