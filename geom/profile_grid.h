// A height profile's triangles sorted into a uniform grid over the XY plane,
// so that a point is tested only against the triangles of its cell.
#pragma once

#include <cstddef>
#include <memory>

#include "geom/point3.h"
#include "geom/rotation.h"

namespace kivera {

// One triangle of the profile as three indices into the profile snapshot.
struct ProfileTriangle {
    int corners[3];
};

// Writes the triangles of one profile face of `pointCount` points (indices
// into the snapshot): a triangle gives one, a quad two (corners 0, 1, 2, then
// 2, 3, 0), any other point count none. Returns the number written.
int AppendFaceTriangles(const int* points, int pointCount, ProfileTriangle* triangles);

// The profile's triangles sorted into a uniform grid of cells over the XY
// extent of the triangles that can raise a vertex, so that a point is tested
// only against the triangles whose extent may hold it. Triangles that never
// raise anything (no corner above z = 0) are left out; triangles with a
// corner that is not finite in x or y, and triangles that would cover too
// many cells, are kept in `everywhere` and tested for every point. Every
// list holds triangle numbers in ascending order.
struct ProfileGrid {
    int columns = 0, rows = 0;
    double originX = 0.0, originY = 0.0;
    double scaleX = 0.0, scaleY = 0.0;   // cells per unit
    std::unique_ptr<std::size_t[]> cellStart;   // columns * rows + 1 offsets
    std::unique_ptr<int[]> cellTriangles;
    std::unique_ptr<int[]> everywhere;
    int everywhereCount = 0;
    RotationMatrix quarterTurn;   // made once for all the edge tests
};

// Builds `grid` over `triangleCount` triangles whose corners index
// `snapshot`. False when its memory cannot be obtained.
bool BuildProfileGrid(const Point3* snapshot, const ProfileTriangle* triangles, int triangleCount,
                      ProfileGrid& grid);

// The greatest height at (x, y) of the triangles that accept the point, or 0
// when none gives a positive height: the same value as testing every
// triangle in face order (a NaN height is ignored).
float ProfileHeightAt(const ProfileGrid& grid, const Point3* snapshot,
                      const ProfileTriangle* triangles, float x, float y);

}  // namespace kivera
