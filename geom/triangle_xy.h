// Triangles over the XY plane as a height profile sees them: whether a point
// lies over a triangle, and the triangle's height there.
#pragma once

#include "geom/point3.h"
#include "geom/rotation.h"

namespace kivera {

// `triangle` is three consecutive corners T1, T2, T3; only their x and y
// count, apart from the rule that a triangle entirely at or below z = 0 is
// never entered. True when (x, y) is a corner of the triangle or lies
// strictly inside it; a point on an edge (not at a corner) is outside.
bool IsInsideTriangleXY(const Point3* triangle, float x, float y);

// Height of the triangle's plane at (x, y), interpolated along T1T2 and then
// from T3 through (x, y). Meant for points that IsInsideTriangleXY accepts.
float HeightOnTriangle(const Point3* triangle, float x, float y);

// The quarter turn about +Z that turns each edge towards its normal.
RotationMatrix QuarterTurn();

// IsInsideTriangleXY for a triangle with a corner above z = 0 (asserted),
// `quarterTurn` being QuarterTurn(): the form for testing many points, with
// the turn made once.
bool IsInsideRaisingTriangleXY(const Point3* triangle, float x, float y,
                               const RotationMatrix& quarterTurn);

}  // namespace kivera
