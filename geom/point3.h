// Point3: the three-float position/direction the host reads and writes, and
// the vector operations every command computes with.
//
// Rounding rule: each operation computes in double and rounds to float only
// where a value is stored in a Point3 (or where a step below says so). Dot and
// Length return their double unrounded; a caller that keeps one in a float
// rounds it there. The widening is written out explicitly so that the result
// does not depend on the compiler's evaluation method.
#pragma once

namespace kivera {

struct Point3 {
    float x, y, z;
};

// One texture coordinate of a face corner, as the host exchanges it.
struct Point2 {
    float u, v;
};

static_assert(sizeof(Point3) == 12, "Point3 is the host's 12-byte vertex form");
static_assert(sizeof(Point2) == 8, "Point2 is the host's 8-byte UV form");

// pi as the 32-bit constant the commands use.
constexpr float kPiFloat = 3.1415927f;

Point3 Add(const Point3& a, const Point3& b);
void AddInPlace(Point3& a, const Point3& b);
Point3 Subtract(const Point3& a, const Point3& b);
Point3 Scale(const Point3& v, float s);
// The divisor is not checked: callers must not pass 0.
Point3 Divide(const Point3& v, float s);
void DivideInPlace(Point3& v, float s);
void SetZero(Point3& v);
// Exact component equality, no tolerance.
bool IsEqual(const Point3& a, const Point3& b);
// True when no component is NaN or infinite.
bool IsFinitePoint(const Point3& p);
// True when every one of points[0..count-1] is IsFinitePoint.
bool AllFinitePoints(const Point3* points, int count);
double Dot(const Point3& a, const Point3& b);
Point3 Cross(const Point3& a, const Point3& b);
// sqrt of the sum of squares, the sum rounded to float first.
double Length(const Point3& v);
// v / |v|, or the zero vector when |v| (as a float) is 0 or when a
// component is NaN or infinite.
Point3 Normalize(const Point3& v);
// Angle in radians in [0, pi]; 0 when either vector is zero or has a NaN or
// infinite component.
double AngleBetween(const Point3& a, const Point3& b);
// Unit normal of (p1 - p2) x (p0 - p1); zero for collinear or coincident
// points, and when that cross product is not finite (NaN corners, overflow).
Point3 TriangleNormal(const Point3& p0, const Point3& p1, const Point3& p2);
// Unit normal of the flatter of the two diagonal splits; b-d wins a tie.
Point3 QuadNormal(const Point3& a, const Point3& b, const Point3& c, const Point3& d);
// Unit normal of a face of three or four corners (TriangleNormal or
// QuadNormal); the zero vector for any other count or a degenerate face.
Point3 FaceNormal(const Point3* corners, int count);

}  // namespace kivera
