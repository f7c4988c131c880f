// Bulge: the current object is a height profile over the XY plane; selected
// vertices of every other object rise along +Z by the profile's height there.
// The triangle tests below are exposed so that they can be checked alone.
#pragma once

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
