// The profile grid against the plain scan over every triangle: random
// profiles (degenerate, overlapping, huge and non-finite triangles) and
// points on corners, edges and cell boundaries must get the same height bit
// for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geom/profile_grid.h"
#include "tests/geom/profile_random.h"
#include "tests/reference/bulge_reference.h"

namespace kivera_test {

using namespace kivera;

namespace {

// A profile of vertexCount vertices and faceCount records: triangles and
// quads (corners may repeat), and records that give no triangle. With
// `exotic`, coordinates may be NaN, infinite or enormous.
Profile RandomProfile(std::mt19937& random, int vertexCount, int faceCount, bool exotic)
{
    Profile p;
    for (int v = 0; v < vertexCount; ++v) {
        Point3 c;
        do {
            c = {RandomCoordinate(random, 1.0f), RandomCoordinate(random, 1.0f),
                 RandomHeight(random)};
        } while (!exotic && (!std::isfinite(c.x) || !std::isfinite(c.y) || std::fabs(c.x) > 1e30f ||
                             std::fabs(c.y) > 1e30f));
        p.snapshot.push_back(c);
    }
    for (int f = 0; f < faceCount; ++f) {
        FaceCorners record = {{-1, -1, -1, -1}};
        const int kind = static_cast<int>(random() % 8);
        const int n = kind == 0 ? 0 : kind < 4 ? 3 : 4;
        for (int k = 0; k < n; ++k)
            record.corners[k] = static_cast<int>(random() % vertexCount);
        p.table.push_back(record);
    }
    return p;
}

struct BuiltGrid {
    std::vector<ProfileTriangle> triangles;
    int triangleCount = 0;
    ProfileGrid grid;
};

void Build(const Profile& p, BuiltGrid& built)
{
    built.triangles.resize(2 * p.table.size() + 1);
    built.triangleCount = 0;
    for (const FaceCorners& record : p.table) {
        const int n = record.corners[0] < 0 ? 0 : record.corners[3] < 0 ? 3 : 4;
        built.triangleCount += AppendFaceTriangles(record.corners, n,
                                                   &built.triangles[built.triangleCount]);
    }
    ASSERT_EQ(BuildProfileGrid(p.snapshot.data(), built.triangles.data(), built.triangleCount,
                               built.grid),
              1);
}

// The points worth asking about: every corner, edge midpoints and points
// along edges, the cell boundaries and their float neighbours, and random
// and non-finite points.
std::vector<std::pair<float, float>> QueryPoints(const Profile& p, const ProfileGrid& grid,
                                                 std::mt19937& random)
{
    std::vector<std::pair<float, float>> points;
    for (const Point3& c : p.snapshot)
        points.push_back({c.x, c.y});
    for (const FaceCorners& record : p.table) {
        if (record.corners[0] < 0)
            continue;
        const Point3& a = p.snapshot[record.corners[0]];
        const Point3& b = p.snapshot[record.corners[1]];
        const Point3& c = p.snapshot[record.corners[2]];
        points.push_back({(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f});
        points.push_back({(c.x + a.x) / 2.0f, (c.y + a.y) / 2.0f});
        points.push_back({(a.x + b.x + c.x) / 3.0f, (a.y + b.y + c.y) / 3.0f});
        points.push_back({a.x, b.y});
    }
    for (int column = 0; column <= grid.columns; ++column)
        for (int row = 0; row <= grid.rows; row += std::max(1, grid.rows / 7)) {
            const float x = static_cast<float>(grid.originX + column / grid.scaleX);
            const float y = static_cast<float>(grid.originY + row / grid.scaleY);
            points.push_back({x, y});
            points.push_back({std::nextafter(x, -kInf), std::nextafter(y, kInf)});
            points.push_back({std::nextafter(x, kInf), y});
        }
    for (int k = 0; k < 40; ++k)
        points.push_back({RandomCoordinate(random, 1.0f), RandomCoordinate(random, 1.0f)});
    points.push_back({kNaN, 0.0f});
    points.push_back({0.0f, kInf});
    return points;
}

void ExpectSameHeights(const Profile& p, std::mt19937& random, int& checked)
{
    BuiltGrid built;
    Build(p, built);
    const int faceCount = static_cast<int>(p.table.size());
    for (const auto& point : QueryPoints(p, built.grid, random)) {
        const float expected = reference::BulgeProfileHeight(p.snapshot.data(), p.table.data(),
                                                             faceCount, point.first, point.second);
        const float got = ProfileHeightAt(built.grid, p.snapshot.data(), built.triangles.data(),
                                          point.first, point.second);
        ASSERT_EQ(Bits(got), Bits(expected)) << "at (" << point.first << ", " << point.second
                                             << ") of a profile of " << faceCount << " faces";
        ++checked;
    }
}

TEST(BulgeGrid, RandomProfilesGiveTheHeightsOfThePlainScan)
{
    std::mt19937 random(20261208);
    int checked = 0;
    for (int round = 0; round < 400; ++round) {
        const int vertexCount = 3 + static_cast<int>(random() % 30);
        const int faceCount = static_cast<int>(random() % 60);
        ExpectSameHeights(RandomProfile(random, vertexCount, faceCount, round % 2 == 1), random,
                          checked);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(checked, 50000);
}

// A regular mesh of small triangles under a few that span all of it: the
// large ones leave the grid (tested for every point), the small ones stay.
TEST(BulgeGrid, FewLargeTrianglesOverManySmallOnesKeepTheGridLinear)
{
    Profile p;
    const int n = 30;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i)
            p.snapshot.push_back({float(i), float(j), 0.1f * float((i * 7 + j * 3) % 11)});
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int v = j * (n + 1) + i;
            p.table.push_back({{v, v + 1, v + n + 2, v + n + 1}});
        }
    const int corner = static_cast<int>(p.snapshot.size());
    p.snapshot.push_back({-1.0f, -1.0f, 0.5f});
    p.snapshot.push_back({2.0f * n, -1.0f, 0.25f});
    p.snapshot.push_back({-1.0f, 2.0f * n, 0.75f});
    p.table.push_back({{corner, corner + 1, corner + 2, -1}});
    p.table.push_back({{corner + 2, corner + 1, corner, -1}});

    BuiltGrid built;
    Build(p, built);
    const ProfileGrid& grid = built.grid;
    EXPECT_EQ(grid.everywhereCount, 2);
    const std::size_t cells = std::size_t(grid.columns) * grid.rows;
    EXPECT_LE(cells, std::size_t(built.triangleCount));
    EXPECT_LE(grid.cellStart[cells], 16 * std::size_t(built.triangleCount));

    std::mt19937 random(7);
    int checked = 0;
    ExpectSameHeights(p, random, checked);
    for (float y = -1.5f; y <= n + 0.5f; y += 0.5f)
        for (float x = -1.5f; x <= n + 0.5f; x += 0.5f)
            ASSERT_EQ(Bits(ProfileHeightAt(grid, p.snapshot.data(), built.triangles.data(), x, y)),
                      Bits(reference::BulgeProfileHeight(p.snapshot.data(), p.table.data(),
                                                         static_cast<int>(p.table.size()), x,
                                                         y)));
}

// Unit squares, each of two triangles with vertices of their own and heights
// of their own, over a grid whose cell boundaries fall on the squares'
// sides: a corner on a boundary belongs to the triangles of both cells.
TEST(BulgeGrid, CornersAndEdgesOnCellBoundaries)
{
    const int n = 8;
    Profile p;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int v = static_cast<int>(p.snapshot.size());
            const float z = 1.0f + float((i * 3 + j * 5) % 7);
            p.snapshot.push_back({float(i), float(j), z});
            p.snapshot.push_back({float(i + 1), float(j), z + 0.5f});
            p.snapshot.push_back({float(i + 1), float(j + 1), z});
            p.snapshot.push_back({float(i), float(j + 1), z - 0.5f});
            p.table.push_back({{v, v + 1, v + 2, v + 3}});
        }
    BuiltGrid built;
    Build(p, built);
    ASSERT_EQ(built.grid.columns, n);
    ASSERT_EQ(built.grid.rows, n);
    for (int j = 0; j <= 4 * n; ++j)
        for (int i = 0; i <= 4 * n; ++i)
            for (const float towards : {-kInf, kNaN, kInf}) {
                // The lattice point, and the floats just before and after it.
                const float y = j / 4.0f;
                const float x = std::isnan(towards) ? i / 4.0f : std::nextafter(i / 4.0f, towards);
                const float got =
                    ProfileHeightAt(built.grid, p.snapshot.data(), built.triangles.data(), x, y);
                ASSERT_EQ(Bits(got), Bits(reference::BulgeProfileHeight(
                                         p.snapshot.data(), p.table.data(), n * n, x, y)))
                    << "at (" << x << ", " << y << ")";
            }
}

// Every triangle in one spot, or on one line: the extent has no width or no
// height, and the grid is a single row, column or cell.
TEST(BulgeGrid, ProfilesWithoutWidthOrHeight)
{
    const std::vector<std::vector<Point3>> profiles = {
        {{1, 1, 1}, {1, 1, 2}, {1, 1, 3}},
        {{0, 1, 1}, {2, 1, 1}, {5, 1, 1}, {3, 1, 2}},
        {{1, 0, 1}, {1, 2, 1}, {1, 5, 1}, {1, 3, 2}},
    };
    std::mt19937 random(11);
    int checked = 0;
    for (const auto& snapshot : profiles) {
        Profile p;
        p.snapshot = snapshot;
        const int last = static_cast<int>(snapshot.size()) - 1;
        p.table = {{{0, 1, 2, -1}}, {{0, 1, last, 2}}, {{last, 0, 1, -1}}};
        ExpectSameHeights(p, random, checked);
    }
    EXPECT_GT(checked, 0);
}

// --- Through the command ----------------------------------------------------------

}  // namespace

}  // namespace kivera_test
