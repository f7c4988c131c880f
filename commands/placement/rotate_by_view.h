// Turning points by the orientation part of the scene's view matrix.
#pragma once

#include "geom/point3.h"

// 1 when the nine entries 0-2, 4-6 and 8-10 of the 16-float view matrix
// `matrix` are all finite numbers.
int IsUsableViewMatrix(const float* matrix);

// R * (x, y, -z) with R[i][j] = m[4i + j], each row summed in double as
// (x * R[i][0] + y * R[i][1]) - z * R[i][2] and rounded to float.
Point3 TurnByView(const Point3& p, const float* m);
