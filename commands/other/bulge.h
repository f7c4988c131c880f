// Bulge: the current object is a height profile over the XY plane; selected
// vertices of every other object rise along +Z by the profile's height there.
// The triangle tests below are exposed so that they can be checked alone.
#pragma once

#include <cstddef>
#include <memory>

#include "geom/point3.h"

// A 4 x 4 matrix of doubles, row-major, m[row][column]. A point is a row
// vector multiplied from the left; row 3 is the translation.
struct RotationMatrix {
    double m[4][4];
};

// Clears all 16 entries, then fills the upper-left 3 x 3 block with the
// rotation by `angle` radians about `axis` (used as given, not normalised).
void MakeAxisRotation(RotationMatrix& matrix, const Point3& axis, float angle);

// point * matrix plus row 3, each component rounded to float.
Point3 TransformPoint(const Point3& point, const RotationMatrix& matrix);

// `triangle` is three consecutive corners T1, T2, T3; only their x and y
// count, apart from the rule that a triangle entirely at or below z = 0 is
// never entered. Returns 1 when (x, y) is a corner of the triangle or lies
// strictly inside it; a point on an edge (not at a corner) is outside.
int IsInsideTriangleXY(const Point3* triangle, float x, float y);

// Height of the triangle's plane at (x, y), interpolated along T1T2 and then
// from T3 through (x, y). Meant for points that IsInsideTriangleXY accepts.
float HeightOnTriangle(const Point3* triangle, float x, float y);

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
// `snapshot`. Returns 0 when its memory cannot be obtained.
int BuildProfileGrid(const Point3* snapshot, const ProfileTriangle* triangles, int triangleCount,
                     ProfileGrid& grid);

// The greatest height at (x, y) of the triangles that accept the point, or 0
// when none gives a positive height: the same value as testing every
// triangle in face order (a NaN height is ignored).
float ProfileHeightAt(const ProfileGrid& grid, const Point3* snapshot,
                      const ProfileTriangle* triangles, float x, float y);
