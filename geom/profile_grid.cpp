#include "geom/profile_grid.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <memory>
#include <new>

#include "geom/triangle_xy.h"

namespace kivera {

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

bool BuildProfileGrid(const Point3* snapshot, const ProfileTriangle* triangles, int triangleCount,
                      ProfileGrid& grid)
{
    assert(triangleCount >= 0);
    grid.quarterTurn = QuarterTurn();
    std::unique_ptr<unsigned char[]> place(new (std::nothrow) unsigned char[triangleCount + 1]);
    if (!place)
        return false;
    PlaceTriangles(snapshot, triangles, triangleCount, place.get(), grid);

    // Count the entries of each cell; a triangle over too many cells moves
    // to the list tested everywhere.
    const std::size_t cellCount = std::size_t(grid.columns) * std::size_t(grid.rows);
    grid.cellStart.reset(new (std::nothrow) std::size_t[cellCount + 1]());
    std::unique_ptr<int[]> firstCell(new (std::nothrow) int[triangleCount + 1]);
    if (!grid.cellStart || !firstCell)
        return false;
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
        return false;
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
    return true;
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
        if (!IsInsideRaisingTriangleXY(t, x, y, grid.quarterTurn))
            continue;
        // A NaN height never compares greater.
        const float h = HeightOnTriangle(t, x, y);
        if (h > best)
            best = h;
    }
    return best;
}

}  // namespace kivera
