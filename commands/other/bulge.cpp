// Raise selected vertices of other objects by the height profile of the current object.
#include "commands/other/bulge.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <memory>
#include <new>

#include "commands/commands.h"
#include "hostaccess/object_loops.h"

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

// IsOnSameSideXY written out for the grid's inner loop: the same operations
// in the same order with the same roundings (Subtract, TransformPoint's x and
// y, Add, Divide by 2), without the calls and the z components that the test
// never reads. The z difference stays, as a NaN or infinite one makes the
// turned edge NaN through its (zero) matrix entry.
static int IsOnSameSideXYWrittenOut(const Point3& start, const Point3& end,
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
    return double(sOpposite) * double(sPoint) > 0.0 ? 1 : 0;
}

// How many of the three values are greater than `limit`.
static int CountGreater(float a, float b, float c, float limit)
{
    return (a > limit ? 1 : 0) + (b > limit ? 1 : 0) + (c > limit ? 1 : 0);
}

// The quarter turn about +Z that turns each edge towards its normal.
static RotationMatrix QuarterTurn()
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

// 1 when (x, y) is accepted as inside the triangle: see bulge.h.
static int IsInsideTriangleXYTurned(const Point3* triangle, float x, float y,
                                    const RotationMatrix& quarterTurn)
{
    const Point3& t1 = triangle[0];
    const Point3& t2 = triangle[1];
    const Point3& t3 = triangle[2];
    // A triangle entirely at or below z = 0 can never raise a vertex.
    if (CountGreater(t1.z, t2.z, t3.z, 0.0f) == 0)
        return 0;
    const int early = CornerOrExtentTest(triangle, x, y);
    if (early != kDecideByEdges)
        return early;
    if (!IsOnSameSideXY(t1, t2, t3, x, y, quarterTurn))
        return 0;
    if (!IsOnSameSideXY(t2, t3, t1, x, y, quarterTurn))
        return 0;
    if (!IsOnSameSideXY(t3, t1, t2, x, y, quarterTurn))
        return 0;
    return 1;
}

int IsInsideTriangleXY(const Point3* triangle, float x, float y)
{
    return IsInsideTriangleXYTurned(triangle, x, y, QuarterTurn());
}

// IsInsideTriangleXY for a triangle of the grid's lists, all of which have a
// corner above z = 0. The edge tests only ever reject, so their order cannot
// change the answer: the edge from T3 to T1 comes first, as that is the
// diagonal of a quad, where a point inside the quad leaves the triangle
// that does not hold it at once.
static int IsInsideListedTriangle(const Point3* triangle, float x, float y,
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

int AppendFaceTriangles(const int* points, int pointCount, ProfileTriangle* triangles)
{
    if (pointCount != 3 && pointCount != 4)
        return 0;
    triangles[0] = {{points[0], points[1], points[2]}};
    if (pointCount == 3)
        return 1;
    // A quad's second triangle is its corners 2, 3 and 0.
    triangles[1] = {{points[2], points[3], points[0]}};
    return 2;
}

// Reads the profile's faces once, in face order, into their triangles. A face
// whose corner names no vertex of the snapshot gives none, like a face of a
// wrong point count, so that the snapshot is never read outside its bounds.
// Returns the number of triangles; `triangles` holds 2 * faceCount.
static int ReadProfileTriangles(ObjectHandle profile, int faceCount, int vertexCount,
                                ProfileTriangle* triangles)
{
    int count = 0;
    for (int f = 0; f < faceCount; ++f) {
        int points[kMaxFacePoints];
        const int n = ReadFacePoints(profile, f, points);
        if (n != 3 && n != 4)
            continue;
        if (AllVertexIndices(points, n, vertexCount))
            count += AppendFaceTriangles(points, n, &triangles[count]);
    }
    return count;
}

// Fewer cells than triangles keeps the grid small; a triangle of a regular
// mesh then covers about four cells and a cell holds a handful of triangles.
static const double kTrianglesPerCell = 2.0;
// A triangle over more cells than this is tested for every point instead,
// so that a few large triangles cannot make the grid grow beyond linear.
static const long long kMaxCellsPerTriangle = 16;

// The three corners of a triangle, consecutive as the triangle tests take them.
static void GatherCorners(const Point3* snapshot, const ProfileTriangle& triangle,
                          Point3* corners)
{
    for (int k = 0; k < 3; ++k)
        corners[k] = snapshot[triangle.corners[k]];
}

// A triangle that lies entirely at or below z = 0 is never entered.
static bool CanRaise(const Point3* t) { return t[0].z > 0.0f || t[1].z > 0.0f || t[2].z > 0.0f; }

static bool HasFiniteXY(const Point3* t)
{
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(t[k].x) || !std::isfinite(t[k].y))
            return false;
    return true;
}

// The cell of a coordinate along one axis. Monotone in `value`, so a point
// inside a triangle's closed extent falls in one of the cells between those
// of the extent's ends, also exactly on a cell boundary.
static int CellOf(float value, double origin, double scale, int count)
{
    const double t = (double(value) - origin) * scale;
    if (!(t >= 0.0))
        return 0;
    if (t >= double(count))
        return count - 1;
    return static_cast<int>(t);
}

// The cells [c0, c1] x [r0, r1] that a triangle's closed XY extent covers.
struct CellRange {
    int c0, c1, r0, r1;
};

static CellRange CellsOfTriangle(const ProfileGrid& grid, const Point3* t)
{
    const float minX = std::min({t[0].x, t[1].x, t[2].x});
    const float maxX = std::max({t[0].x, t[1].x, t[2].x});
    const float minY = std::min({t[0].y, t[1].y, t[2].y});
    const float maxY = std::max({t[0].y, t[1].y, t[2].y});
    return {CellOf(minX, grid.originX, grid.scaleX, grid.columns),
            CellOf(maxX, grid.originX, grid.scaleX, grid.columns),
            CellOf(minY, grid.originY, grid.scaleY, grid.rows),
            CellOf(maxY, grid.originY, grid.scaleY, grid.rows)};
}

static long long CellCount(const CellRange& r)
{
    return (long long)(r.c1 - r.c0 + 1) * (long long)(r.r1 - r.r0 + 1);
}

// How a triangle takes part: a triangle in the grid has the columns and rows
// it spans beyond its first cell in the high and low four bits (at most 15
// each, as it covers at most kMaxCellsPerTriangle cells); two codes that no
// span reaches mark the others.
static const unsigned char kIgnored = 0xFF;
static const unsigned char kEverywhere = 0xFE;
static const unsigned char kInGrid = 0x00;   // until its span is known
static_assert(kMaxCellsPerTriangle <= 16, "a span of 15 x 15 cells is never in the grid");

// Columns and rows for `cellTarget` cells over an extent of width x height,
// cells about square.
static void ChooseGridShape(double width, double height, double cellTarget, ProfileGrid& grid)
{
    double columns = 1.0, rows = 1.0;
    if (width > 0.0 && height > 0.0) {
        columns = std::floor(std::sqrt(cellTarget * width / height));
        columns = std::min(std::max(columns, 1.0), cellTarget);
        rows = std::max(std::floor(cellTarget / columns), 1.0);
    } else if (width > 0.0) {
        columns = cellTarget;
    } else if (height > 0.0) {
        rows = cellTarget;
    }
    grid.columns = static_cast<int>(columns);
    grid.rows = static_cast<int>(rows);
    grid.scaleX = width > 0.0 ? grid.columns / width : 0.0;
    grid.scaleY = height > 0.0 ? grid.rows / height : 0.0;
}

// Sorts each triangle into ignored, grid or everywhere, and sets the grid's
// extent from the finite triangles that can raise a vertex.
static void PlaceTriangles(const Point3* snapshot, const ProfileTriangle* triangles,
                           int triangleCount, unsigned char* place, ProfileGrid& grid)
{
    float minX = 0.0f, maxX = 0.0f, minY = 0.0f, maxY = 0.0f;
    int gridCount = 0;
    for (int k = 0; k < triangleCount; ++k) {
        Point3 t[3];
        GatherCorners(snapshot, triangles[k], t);
        place[k] = !CanRaise(t) ? kIgnored : HasFiniteXY(t) ? kInGrid : kEverywhere;
        if (place[k] != kInGrid)
            continue;
        if (gridCount == 0) {
            minX = maxX = t[0].x;
            minY = maxY = t[0].y;
        }
        for (int c = 0; c < 3; ++c) {
            minX = std::min(minX, t[c].x);
            maxX = std::max(maxX, t[c].x);
            minY = std::min(minY, t[c].y);
            maxY = std::max(maxY, t[c].y);
        }
        ++gridCount;
    }
    grid.originX = minX;
    grid.originY = minY;
    const double cellTarget = std::max(1.0, std::floor(gridCount / kTrianglesPerCell));
    ChooseGridShape(double(maxX) - minX, double(maxY) - minY, cellTarget, grid);
}

int BuildProfileGrid(const Point3* snapshot, const ProfileTriangle* triangles, int triangleCount,
                     ProfileGrid& grid)
{
    assert(triangleCount >= 0);
    grid.quarterTurn = QuarterTurn();
    std::unique_ptr<unsigned char[]> place(new (std::nothrow) unsigned char[triangleCount + 1]);
    if (!place)
        return 0;
    PlaceTriangles(snapshot, triangles, triangleCount, place.get(), grid);

    // Count the entries of each cell; a triangle over too many cells moves
    // to the list tested everywhere.
    const std::size_t cellCount = std::size_t(grid.columns) * std::size_t(grid.rows);
    grid.cellStart.reset(new (std::nothrow) std::size_t[cellCount + 1]());
    std::unique_ptr<int[]> firstCell(new (std::nothrow) int[triangleCount + 1]);
    if (!grid.cellStart || !firstCell)
        return 0;
    std::size_t* cellStart = grid.cellStart.get();
    grid.everywhereCount = 0;
    for (int k = 0; k < triangleCount; ++k) {
        if (place[k] == kInGrid) {
            Point3 t[3];
            GatherCorners(snapshot, triangles[k], t);
            const CellRange r = CellsOfTriangle(grid, t);
            if (CellCount(r) > kMaxCellsPerTriangle) {
                place[k] = kEverywhere;
            } else {
                firstCell[k] = r.r0 * grid.columns + r.c0;
                place[k] = static_cast<unsigned char>((r.c1 - r.c0) << 4 | (r.r1 - r.r0));
                for (int row = r.r0; row <= r.r1; ++row)
                    for (int column = r.c0; column <= r.c1; ++column)
                        ++cellStart[std::size_t(row) * grid.columns + column];
            }
        }
        if (place[k] == kEverywhere)
            ++grid.everywhereCount;
    }
    // Running sums: each cell's start is now the end of its entries.
    for (std::size_t cell = 1; cell <= cellCount; ++cell)
        cellStart[cell] += cellStart[cell - 1];
    const std::size_t entryCount = cellStart[cellCount - 1];
    cellStart[cellCount] = entryCount;

    grid.cellTriangles.reset(new (std::nothrow) int[entryCount + 1]);
    grid.everywhere.reset(new (std::nothrow) int[grid.everywhereCount + 1]);
    if (!grid.cellTriangles || !grid.everywhere)
        return 0;
    // Filled from the last triangle back, each cell from its end: the starts
    // come down to their place and every list ends up ascending.
    int everywhere = grid.everywhereCount;
    for (int k = triangleCount - 1; k >= 0; --k) {
        if (place[k] == kIgnored)
            continue;
        if (place[k] == kEverywhere) {
            grid.everywhere[--everywhere] = k;
            continue;
        }
        const int columns = place[k] >> 4, rows = place[k] & 15;
        for (int row = 0; row <= rows; ++row) {
            std::size_t* start =
                &cellStart[std::size_t(firstCell[k]) + std::size_t(row) * grid.columns];
            for (int column = 0; column <= columns; ++column)
                grid.cellTriangles[--start[column]] = k;
        }
    }
    assert(everywhere == 0);
    assert(cellStart[0] == 0);
    return 1;
}

float ProfileHeightAt(const ProfileGrid& grid, const Point3* snapshot,
                      const ProfileTriangle* triangles, float x, float y)
{
    // A triangle whose corners are all finite accepts only points inside its
    // closed extent, so never a point that is not finite: such a point needs
    // only the triangles tested everywhere.
    const int* cell = nullptr;
    const int* cellEnd = nullptr;
    if (std::isfinite(x) && std::isfinite(y) && grid.cellStart) {
        const std::size_t index =
            std::size_t(CellOf(y, grid.originY, grid.scaleY, grid.rows)) * grid.columns +
            std::size_t(CellOf(x, grid.originX, grid.scaleX, grid.columns));
        cell = &grid.cellTriangles[grid.cellStart[index]];
        cellEnd = &grid.cellTriangles[grid.cellStart[index + 1]];
    }
    float best = 0.0f;
    const int* other = grid.everywhere.get();
    const int* otherEnd = other + grid.everywhereCount;
    // Merge both ascending lists, so the triangles are tried in face order.
    while (cell != cellEnd || other != otherEnd) {
        int k;
        if (other != otherEnd && (cell == cellEnd || *other < *cell))
            k = *other++;
        else
            k = *cell++;
        Point3 t[3];
        GatherCorners(snapshot, triangles[k], t);
        if (!IsInsideListedTriangle(t, x, y, grid.quarterTurn))
            continue;
        // A NaN height never compares greater.
        const float h = HeightOnTriangle(t, x, y);
        if (h > best)
            best = h;
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
    // The faces are kept as their triangles, the form the grid takes; two
    // per face must stay countable in an int.
    if (faceCount > std::numeric_limits<int>::max() / 2)
        return 0;
    std::unique_ptr<ProfileTriangle[]> triangles(
        new (std::nothrow) ProfileTriangle[2 * std::size_t(faceCount)]);
    if (!triangles)
        return 0;
    const int triangleCount =
        ReadProfileTriangles(profile, faceCount, vertexCount, triangles.get());
    // Each vertex is tested only against the triangles of its grid cell.
    ProfileGrid grid;
    if (!BuildProfileGrid(snapshot.get(), triangles.get(), triangleCount, grid))
        return 0;

    const int objectCount = DocGetObjectCount(document);
    ForEachOtherObject(document, objectCount, profileIndex, [&](int j, ObjectHandle object) {
        ForEachSelectedVertexOf(document, j, object, ObjGetVertexCount(object), [&](int v) {
            Point3 p = ObjGetVertex(object, v);
            const float best = ProfileHeightAt(grid, snapshot.get(), triangles.get(), p.x, p.y);
            if (!(best > 0.0f))
                return;
            p.z = static_cast<float>(double(p.z) + double(best));
            ObjSetVertex(object, v, p);
        });
    });
    return 1;
}
