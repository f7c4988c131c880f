// Fold back rim: selected rim vertices are turned over to the back side of
// the surface about a pivot neighbour. Every new position is computed from
// the mesh as it was before the command; the moves are collected first and
// written at the end, so one moved vertex never affects another's result.
#pragma once

#include <cstdint>
#include <memory>

#include "hostaccess/host_api.h"
#include "geom/point3.h"

namespace kivera {

// One deferred vertex move.
struct PendingMove {
    int32_t objectIndex;   // as passed to DocGetObject
    int32_t vertexIndex;
    Point3 position;       // the new position
};

// A fixed-capacity list of deferred moves. The capacity is set once by
// Reserve; entries offered when the list is full are dropped.
struct PendingMoveList {
    std::unique_ptr<PendingMove[]> entries;   // null until Reserve succeeds
    int32_t count = 0;
    int32_t capacity = 0;
};

// Releases any previous array and makes room for `n` entries, emptying the
// list. False (capacity 0) when the array cannot be allocated or `n` is
// negative; reserving 0 entries succeeds.
bool Reserve(PendingMoveList& list, int32_t n);

// Stores the move at index `count` when there is room; returns the new count.
int32_t Append(PendingMoveList& list, int32_t objectIndex, int32_t vertexIndex,
               const Point3& position);

// Writes every entry with ObjSetVertex in the order stored, fetching an
// object only when the object index changes from the previous entry's.
// Returns `count`.
int32_t Apply(const PendingMoveList& list, DocumentHandle document);

// For each point of face A in order, appends it once per equal point of face
// B. At most `max` entries are stored (two faces of four points can match 16
// times when they repeat points); returns the number stored.
int SharedVertices(ObjectHandle object, int faceA, int faceB, int* shared, int max);

}  // namespace kivera
