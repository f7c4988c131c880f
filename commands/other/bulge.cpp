// Raise selected vertices of other objects by the height profile of the current object.
#include "commands/other/bulge.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "commands/commands.h"

namespace {

// The corners of one profile face as indices into the profile snapshot:
// a quad's four, a triangle's three and -1, or -1 four times for a face
// that gives no height (any other point count, or a corner that names no
// vertex of the profile).
struct FaceCorners {
    int corners[4];
};

}  // namespace

void MakeAxisRotation(RotationMatrix& matrix, const Point3& axis, float angle)
{
    for (auto& row : matrix.m)
        for (double& entry : row)
            entry = 0.0;
    const double ax = axis.x, ay = axis.y, az = axis.z;
    const double k = std::cos(double(angle));
    const double s = std::sin(double(angle));
    const double t = 1.0 - k;
    matrix.m[0][0] = ax * ax * t + k;
    matrix.m[0][1] = ax * ay * t + az * s;
    matrix.m[0][2] = ax * az * t - ay * s;
    matrix.m[1][0] = ax * ay * t - az * s;
    matrix.m[1][1] = ay * ay * t + k;
    matrix.m[1][2] = ay * az * t + ax * s;
    matrix.m[2][0] = ax * az * t + ay * s;
    matrix.m[2][1] = ay * az * t - ax * s;
    matrix.m[2][2] = az * az * t + k;
}

Point3 TransformPoint(const Point3& point, const RotationMatrix& matrix)
{
    const double x = point.x, y = point.y, z = point.z;
    const auto& m = matrix.m;
    return {static_cast<float>(x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0]),
            static_cast<float>(x * m[0][1] + y * m[1][1] + z * m[2][1] + m[3][1]),
            static_cast<float>(x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2])};
}

// 1 when `point` and `opposite` lie strictly on the same side of the line
// through `start` and `end` in the XY plane.
static int IsOnSameSideXY(const Point3& start, const Point3& end, const Point3& opposite,
                          float x, float y, const RotationMatrix& quarterTurn)
{
    const Point3 normal = TransformPoint(Subtract(end, start), quarterTurn);
    const Point3 mid = Divide(Add(start, end), 2.0f);
    const float sOpposite = static_cast<float>((double(opposite.x) - mid.x) * normal.x +
                                               (double(opposite.y) - mid.y) * normal.y);
    const float sPoint =
        static_cast<float>((double(x) - mid.x) * normal.x + (double(y) - mid.y) * normal.y);
    return double(sOpposite) * double(sPoint) > 0.0 ? 1 : 0;
}

// How many of the three values are greater than `limit`.
static int CountGreater(float a, float b, float c, float limit)
{
    return (a > limit ? 1 : 0) + (b > limit ? 1 : 0) + (c > limit ? 1 : 0);
}

int IsInsideTriangleXY(const Point3* triangle, float x, float y)
{
    const Point3& t1 = triangle[0];
    const Point3& t2 = triangle[1];
    const Point3& t3 = triangle[2];
    // A triangle entirely at or below z = 0 can never raise a vertex.
    if (CountGreater(t1.z, t2.z, t3.z, 0.0f) == 0)
        return 0;
    for (int i = 0; i < 3; ++i)
        if (triangle[i].x == x && triangle[i].y == y)
            return 1;
    // Quick rejection by extent; NaN compares as "not greater" and is
    // rejected here too.
    const int xAbove = CountGreater(t1.x, t2.x, t3.x, x);
    if (xAbove == 0 || xAbove == 3)
        return 0;
    const int yAbove = CountGreater(t1.y, t2.y, t3.y, y);
    if (yAbove == 0 || yAbove == 3)
        return 0;
    RotationMatrix quarterTurn;
    const Point3 zAxis = {0.0f, 0.0f, 1.0f};
    MakeAxisRotation(quarterTurn, zAxis, 1.5707964f);
    if (!IsOnSameSideXY(t1, t2, t3, x, y, quarterTurn))
        return 0;
    if (!IsOnSameSideXY(t2, t3, t1, x, y, quarterTurn))
        return 0;
    if (!IsOnSameSideXY(t3, t1, t2, x, y, quarterTurn))
        return 0;
    return 1;
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

// Fills the face table from the profile's faces. A face whose corner names
// no vertex of the snapshot is ignored like a face of a wrong point count,
// so that the snapshot is never read outside its bounds.
static void FillFaceTable(ObjectHandle profile, int faceCount, int vertexCount,
                          FaceCorners* table)
{
    for (int f = 0; f < faceCount; ++f) {
        FaceCorners& record = table[f];
        for (int& corner : record.corners)
            corner = -1;
        int points[kMaxFacePoints];
        const int n = ReadFacePoints(profile, f, points);
        if (n != 3 && n != 4)
            continue;
        bool inRange = true;
        for (int k = 0; k < n; ++k)
            if (points[k] < 0 || points[k] >= vertexCount)
                inRange = false;
        if (!inRange)
            continue;
        for (int k = 0; k < n; ++k)
            record.corners[k] = points[k];
    }
}

// Raises `best` to the triangle's height at (x, y) when the point is inside
// and the height is greater. A NaN height never compares greater.
static void TakeHigherHeight(const Point3* triangle, float x, float y, float& best)
{
    if (!IsInsideTriangleXY(triangle, x, y))
        return;
    const float h = HeightOnTriangle(triangle, x, y);
    if (h > best)
        best = h;
}

// The greatest profile height at (x, y) over all triangles, or 0 when no
// triangle covers the point with a positive height.
static float ProfileHeight(const Point3* snapshot, const FaceCorners* table, int faceCount,
                           float x, float y)
{
    float best = 0.0f;
    for (int f = 0; f < faceCount; ++f) {
        const int* corners = table[f].corners;
        if (corners[0] < 0)
            continue;
        // Slot 4 repeats slot 0, so that a quad's second triangle is slots 2, 3, 4.
        Point3 slots[5];
        const int n = corners[3] < 0 ? 3 : 4;
        for (int k = 0; k < n; ++k)
            slots[k] = snapshot[corners[k]];
        slots[4] = slots[0];
        TakeHigherHeight(&slots[0], x, y, best);
        if (n == 4)
            TakeHigherHeight(&slots[2], x, y, best);
    }
    return best;
}

int Bulge(DocumentHandle document)
{
    const int profileIndex = DocGetCurrentObjectIndex(document);
    const ObjectHandle profile = DocGetObject(document, profileIndex);
    // Without a current object there is no profile to read.
    if (profile == nullptr)
        return 0;
    const int faceCount = std::max(ObjGetFaceCount(profile), 0);
    const int vertexCount = std::max(ObjGetVertexCount(profile), 0);

    std::unique_ptr<Point3[]> snapshot(new (std::nothrow) Point3[vertexCount]);
    if (!snapshot)
        return 0;
    ObjGetVertexArray(profile, snapshot.get());
    std::unique_ptr<FaceCorners[]> table(new (std::nothrow) FaceCorners[faceCount]);
    if (!table)
        return 0;
    FillFaceTable(profile, faceCount, vertexCount, table.get());

    const int objectCount = DocGetObjectCount(document);
    for (int j = 0; j < objectCount; ++j) {
        if (j == profileIndex)
            continue;
        const ObjectHandle object = DocGetObject(document, j);
        if (object == nullptr)
            continue;
        const int count = ObjGetVertexCount(object);
        for (int v = 0; v < count; ++v) {
            if (ObjGetVertexRefCount(object, v) == 0)
                continue;
            if (DocIsSelectVertex(document, j, v) != 1)
                continue;
            Point3 p = ObjGetVertex(object, v);
            const float best = ProfileHeight(snapshot.get(), table.get(), faceCount, p.x, p.y);
            if (!(best > 0.0f))
                continue;
            p.z = static_cast<float>(double(p.z) + double(best));
            ObjSetVertex(object, v, p);
        }
    }
    return 1;
}
