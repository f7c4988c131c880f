#include "geom/triangle_xy.h"

#include <cassert>
#include <cmath>

namespace kivera {

// 1 when `point` and `opposite` lie strictly on the same side of the line
// through `start` and `end` in the XY plane.
static bool IsOnSameSideXY(const Point3& start, const Point3& end, const Point3& opposite,
                           float x, float y, const RotationMatrix& quarterTurn)
{
    const Point3 normal = TransformPoint(Subtract(end, start), quarterTurn);
    const Point3 mid = Divide(Add(start, end), 2.0f);
    const float sOpposite = static_cast<float>((double(opposite.x) - mid.x) * normal.x +
                                               (double(opposite.y) - mid.y) * normal.y);
    const float sPoint =
        static_cast<float>((double(x) - mid.x) * normal.x + (double(y) - mid.y) * normal.y);
    return double(sOpposite) * double(sPoint) > 0.0;
}

// IsOnSameSideXY written out for the grid's inner loop: the same operations
// in the same order with the same roundings (Subtract, TransformPoint's x and
// y, Add, Divide by 2), without the calls and the z components that the test
// never reads. The z difference stays, as a NaN or infinite one makes the
// turned edge NaN through its (zero) matrix entry.
static bool IsOnSameSideXYWrittenOut(const Point3& start, const Point3& end,
                                     const Point3& opposite, float x, float y,
                                     const RotationMatrix& quarterTurn)
{
    const auto& m = quarterTurn.m;
    const double ex = static_cast<float>(double(end.x) - double(start.x));
    const double ey = static_cast<float>(double(end.y) - double(start.y));
    const double ez = static_cast<float>(double(end.z) - double(start.z));
    const float normalX = static_cast<float>(ex * m[0][0] + ey * m[1][0] + ez * m[2][0] + m[3][0]);
    const float normalY = static_cast<float>(ex * m[0][1] + ey * m[1][1] + ez * m[2][1] + m[3][1]);
    const float midX =
        static_cast<float>(double(static_cast<float>(double(start.x) + double(end.x))) / 2.0);
    const float midY =
        static_cast<float>(double(static_cast<float>(double(start.y) + double(end.y))) / 2.0);
    const float sOpposite = static_cast<float>((double(opposite.x) - midX) * normalX +
                                               (double(opposite.y) - midY) * normalY);
    const float sPoint =
        static_cast<float>((double(x) - midX) * normalX + (double(y) - midY) * normalY);
    return double(sOpposite) * double(sPoint) > 0.0;
}

// How many of the three values are greater than `limit`.
static int CountGreater(float a, float b, float c, float limit)
{
    return (a > limit ? 1 : 0) + (b > limit ? 1 : 0) + (c > limit ? 1 : 0);
}

RotationMatrix QuarterTurn()
{
    RotationMatrix quarterTurn;
    const Point3 zAxis = {0.0f, 0.0f, 1.0f};
    MakeAxisRotation(quarterTurn, zAxis, 1.5707964f);
    return quarterTurn;
}

// The tests before the edge tests: 1 when (x, y) is a corner of the
// triangle, 0 when it lies outside the corners' extent (NaN compares as "not
// greater" and is rejected here too), else kDecideByEdges.
constexpr int kDecideByEdges = -1;

static int CornerOrExtentTest(const Point3* triangle, float x, float y)
{
    for (int i = 0; i < 3; ++i)
        if (triangle[i].x == x && triangle[i].y == y)
            return 1;
    const int xAbove = CountGreater(triangle[0].x, triangle[1].x, triangle[2].x, x);
    if (xAbove == 0 || xAbove == 3)
        return 0;
    const int yAbove = CountGreater(triangle[0].y, triangle[1].y, triangle[2].y, y);
    if (yAbove == 0 || yAbove == 3)
        return 0;
    return kDecideByEdges;
}

// 1 when (x, y) is accepted as inside the triangle: see triangle_xy.h.
static bool IsInsideTriangleXYTurned(const Point3* triangle, float x, float y,
                                     const RotationMatrix& quarterTurn)
{
    const Point3& t1 = triangle[0];
    const Point3& t2 = triangle[1];
    const Point3& t3 = triangle[2];
    // A triangle entirely at or below z = 0 can never raise a vertex.
    if (CountGreater(t1.z, t2.z, t3.z, 0.0f) == 0)
        return false;
    const int early = CornerOrExtentTest(triangle, x, y);
    if (early != kDecideByEdges)
        return early;
    if (!IsOnSameSideXY(t1, t2, t3, x, y, quarterTurn))
        return false;
    if (!IsOnSameSideXY(t2, t3, t1, x, y, quarterTurn))
        return false;
    if (!IsOnSameSideXY(t3, t1, t2, x, y, quarterTurn))
        return false;
    return true;
}

bool IsInsideTriangleXY(const Point3* triangle, float x, float y)
{
    return IsInsideTriangleXYTurned(triangle, x, y, QuarterTurn());
}

// The edge tests only ever reject, so their order cannot change the answer:
// the edge from T3 to T1 comes first, as that is the diagonal of a quad,
// where a point inside the quad leaves the triangle that does not hold it at
// once.
bool IsInsideRaisingTriangleXY(const Point3* triangle, float x, float y,
                               const RotationMatrix& quarterTurn)
{
    const Point3& t1 = triangle[0];
    const Point3& t2 = triangle[1];
    const Point3& t3 = triangle[2];
    assert(CountGreater(t1.z, t2.z, t3.z, 0.0f) > 0);
    const int early = CornerOrExtentTest(triangle, x, y);
    if (early != kDecideByEdges)
        return early;
    return IsOnSameSideXYWrittenOut(t3, t1, t2, x, y, quarterTurn) &&
                   IsOnSameSideXYWrittenOut(t1, t2, t3, x, y, quarterTurn) &&
                   IsOnSameSideXYWrittenOut(t2, t3, t1, x, y, quarterTurn)
               ? 1
               : 0;
}

// Distance in the XY plane, squares taken as powers.
static double DistanceXY(double ax, double ay, double bx, double by)
{
    return std::sqrt(std::pow(ax - bx, 2.0) + std::pow(ay - by, 2.0));
}

float HeightOnTriangle(const Point3* triangle, float x, float y)
{
    const Point3& t1 = triangle[0];
    const Point3& t2 = triangle[1];
    const Point3& t3 = triangle[2];
    const bool edgeVertical = double(t2.x) - t1.x == 0.0;
    const bool rayVertical = double(x) - t3.x == 0.0;
    if (edgeVertical && rayVertical) {
        // Only a point on a corner gets here (the corner test accepted it).
        if (t1.x == x && t1.y == y)
            return t1.z;
        if (t2.x == x && t2.y == y)
            return t2.z;
        return t3.z;
    }
    double m1 = 0.0, b1 = 0.0, m2 = 0.0, b2 = 0.0;
    if (!edgeVertical) {
        m1 = (double(t2.y) - t1.y) / (double(t2.x) - t1.x);
        b1 = double(t1.y) - m1 * t1.x;
    }
    if (!rayVertical) {
        m2 = (double(y) - t3.y) / (double(x) - t3.x);
        b2 = double(t3.y) - m2 * t3.x;
    }
    float qx, qy;
    if (edgeVertical) {
        qx = t1.x;
        qy = static_cast<float>(b2 + m2 * t1.x);
    } else if (rayVertical) {
        qx = t3.x;
        qy = static_cast<float>(b1 + m1 * t3.x);
    } else {
        qx = static_cast<float>((b2 - b1) / (m1 - m2));
        qy = static_cast<float>(b1 + m1 * qx);
    }
    const double d1Q = DistanceXY(qx, qy, t1.x, t1.y);
    const double d12 = DistanceXY(t2.x, t2.y, t1.x, t1.y);
    const double hQ = d12 == 0.0 ? double(t1.z) : t1.z + (double(t2.z) - t1.z) * (d1Q / d12);
    const double d3P = DistanceXY(x, y, t3.x, t3.y);
    const double d3Q = DistanceXY(qx, qy, t3.x, t3.y);
    if (d3Q == 0.0)
        return t3.z;
    return static_cast<float>(t3.z + (hQ - t3.z) * d3P / d3Q);
}

}  // namespace kivera
