// Rotations as 4 x 4 matrices of doubles, the form the height profile's edge
// tests turn their edges with.
#pragma once

#include "geom/point3.h"

namespace kivera {

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

}  // namespace kivera
