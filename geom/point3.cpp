#include "geom/point3.h"

#include <cmath>

namespace kivera {

// The one place where a working-precision value is stored as a float.
static float Round(double value) { return static_cast<float>(value); }

// A vector with a NaN or infinite component points nowhere; the operations
// that derive a direction treat it like the zero vector rather than spread
// NaN into every position computed from it.
bool IsFinitePoint(const Point3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool AllFinitePoints(const Point3* points, int count)
{
    for (int i = 0; i < count; ++i)
        if (!IsFinitePoint(points[i]))
            return false;
    return true;
}

Point3 Add(const Point3& a, const Point3& b)
{
    return {Round(double(a.x) + double(b.x)), Round(double(a.y) + double(b.y)),
            Round(double(a.z) + double(b.z))};
}

void AddInPlace(Point3& a, const Point3& b) { a = Add(a, b); }

Point3 Subtract(const Point3& a, const Point3& b)
{
    return {Round(double(a.x) - double(b.x)), Round(double(a.y) - double(b.y)),
            Round(double(a.z) - double(b.z))};
}

Point3 Scale(const Point3& v, float s)
{
    return {Round(double(v.x) * double(s)), Round(double(v.y) * double(s)),
            Round(double(v.z) * double(s))};
}

Point3 Divide(const Point3& v, float s)
{
    return {Round(double(v.x) / double(s)), Round(double(v.y) / double(s)),
            Round(double(v.z) / double(s))};
}

void DivideInPlace(Point3& v, float s) { v = Divide(v, s); }

void SetZero(Point3& v) { v = {0.0f, 0.0f, 0.0f}; }

bool IsEqual(const Point3& a, const Point3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

double Dot(const Point3& a, const Point3& b)
{
    return double(a.x) * double(b.x) + double(a.y) * double(b.y) + double(a.z) * double(b.z);
}

Point3 Cross(const Point3& a, const Point3& b)
{
    return {Round(double(a.y) * double(b.z) - double(a.z) * double(b.y)),
            Round(double(a.z) * double(b.x) - double(a.x) * double(b.z)),
            Round(double(a.x) * double(b.y) - double(a.y) * double(b.x))};
}

double Length(const Point3& v)
{
    const float squares =
        Round(double(v.x) * double(v.x) + double(v.y) * double(v.y) + double(v.z) * double(v.z));
    return std::sqrt(double(squares));
}

Point3 Normalize(const Point3& v)
{
    if (!IsFinitePoint(v))
        return {0.0f, 0.0f, 0.0f};
    const float len = Round(Length(v));
    if (len == 0.0f)
        return {0.0f, 0.0f, 0.0f};
    return Divide(v, len);
}

double AngleBetween(const Point3& a, const Point3& b)
{
    // No direction, no angle: the same answer as for a zero vector.
    if (!IsFinitePoint(a) || !IsFinitePoint(b))
        return 0.0;
    const float la = Round(Length(a));
    const float p = Round(Length(b) * double(la));
    if (p == 0.0f)
        return 0.0;
    const float k = Round(Dot(a, b) / double(p));
    if (k >= 1.0f)
        return 0.0;
    if (k <= -1.0f)
        return double(kPiFloat);
    return std::acos(double(k));
}

Point3 TriangleNormal(const Point3& p0, const Point3& p1, const Point3& p2)
{
    const Point3 e1 = Subtract(p0, p1);
    const Point3 e2 = Subtract(p1, p2);
    const Point3 n = Cross(e2, e1);
    const Point3 zero = {0.0f, 0.0f, 0.0f};
    if (IsEqual(n, zero) || !IsFinitePoint(n))
        return zero;
    // A normal so short that its squared length underflows the float would
    // divide by zero; it is as degenerate as an exact zero.
    const float len = Round(Length(n));
    if (len == 0.0f)
        return zero;
    return Divide(n, len);
}

Point3 QuadNormal(const Point3& a, const Point3& b, const Point3& c, const Point3& d)
{
    const Point3 nAbc = TriangleNormal(a, b, c);
    const Point3 nAcd = TriangleNormal(a, c, d);
    const Point3 nBcd = TriangleNormal(b, c, d);
    const Point3 nBda = TriangleNormal(b, d, a);
    const float d1 = Round(Dot(nAbc, nAcd));
    const double d2 = Dot(nBcd, nBda);
    if (d2 >= double(d1))
        return Normalize(Add(nBcd, nBda));
    return Normalize(Add(nAbc, nAcd));
}

Point3 FaceNormal(const Point3* corners, int count)
{
    if (count == 3)
        return Normalize(TriangleNormal(corners[0], corners[1], corners[2]));
    if (count == 4)
        return Normalize(QuadNormal(corners[0], corners[1], corners[2], corners[3]));
    return Point3{0.0f, 0.0f, 0.0f};
}

}  // namespace kivera
