// Bulge's profile grid against the plain scan over every triangle: random
// profiles (degenerate, overlapping, huge and non-finite triangles) and
// points on corners, edges and cell boundaries must get the same height bit
// for bit, alone and through the command.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "commands/other/bulge.h"
#include "tests/commands/other/other_fixtures.h"
#include "tests/reference/bulge_reference.h"
#include "tests/support/plugin_session.h"

using namespace other_test;
using reference::FaceCorners;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

struct Profile {
    std::vector<Point3> snapshot;
    std::vector<FaceCorners> table;
};

// Coordinates mostly on a coarse lattice, so that corners, edges and cell
// boundaries meet exactly; now and then an odd value.
float RandomCoordinate(std::mt19937& random, float scale)
{
    const int pick = static_cast<int>(random() % 40);
    switch (pick) {
    case 0:
        return kNaN;
    case 1:
        return kInf;
    case 2:
        return -kInf;
    case 3:
        return -0.0f;
    case 4:
        return 3.0e38f;
    default:
        break;
    }
    if (pick < 20)
        return scale * static_cast<float>(static_cast<int>(random() % 9) - 4) / 2.0f;
    return scale * (static_cast<float>(random() % 100000) / 12500.0f - 4.0f);
}

float RandomHeight(std::mt19937& random)
{
    const int pick = static_cast<int>(random() % 24);
    if (pick == 0)
        return kNaN;
    if (pick == 1)
        return kInf;
    if (pick == 2)
        return -kInf;
    if (pick < 6)
        return 0.0f;
    return static_cast<float>(static_cast<int>(random() % 9) - 2) / 2.0f;
}

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

// The document after the command as the plain scan says it must be: every
// used, selected vertex of every object but the current one raised by the
// positive profile height at its x, y.
void ApplyReferenceBulge(host::Document& doc)
{
    const host::Object& profile = *doc.objects[doc.currentObject];
    Profile p;
    for (const host::Vec3& v : profile.vertices)
        p.snapshot.push_back({v.x, v.y, v.z});
    const int vertexCount = static_cast<int>(p.snapshot.size());
    for (const host::Face& face : profile.faces) {
        FaceCorners record = {{-1, -1, -1, -1}};
        const int n = static_cast<int>(face.points.size());
        bool inRange = n == 3 || n == 4;
        for (int k = 0; inRange && k < n; ++k)
            inRange = face.points[k] >= 0 && face.points[k] < vertexCount;
        for (int k = 0; inRange && k < n; ++k)
            record.corners[k] = face.points[k];
        p.table.push_back(record);
    }
    for (std::size_t j = 0; j < doc.objects.size(); ++j) {
        host::Object* obj = doc.objects[j].get();
        if (!obj || int(j) == doc.currentObject)
            continue;
        for (std::size_t v = 0; v < obj->vertices.size(); ++v) {
            if (obj->refCount[v] == 0 || !obj->vertexSelected[v])
                continue;
            host::Vec3& q = obj->vertices[v];
            const float best =
                reference::BulgeProfileHeight(p.snapshot.data(), p.table.data(),
                                              static_cast<int>(p.table.size()), q.x, q.y);
            if (best > 0.0f)
                q.z = static_cast<float>(double(q.z) + double(best));
        }
    }
}

// A random document: the profile among several objects and empty slots,
// faces of every point count and corners naming no vertex, targets whose
// vertices sit on the profile's corners and edges and in between.
void BuildRandomDocument(std::mt19937& random, host::Document& doc)
{
    const int objectCount = 2 + static_cast<int>(random() % 4);
    for (int j = 0; j < objectCount; ++j) {
        if (random() % 5 == 0) {
            host::AddEmptyObjectSlot(doc);
            continue;
        }
        host::Object& obj = NewObject(doc, "obj");
        const int vertexCount = 3 + static_cast<int>(random() % 40);
        for (int v = 0; v < vertexCount; ++v) {
            const bool exotic = random() % 10 == 0;
            float x, y;
            do {
                x = RandomCoordinate(random, 1.0f);
                y = RandomCoordinate(random, 1.0f);
            } while (!exotic && (!std::isfinite(x) || !std::isfinite(y)));
            host::AddVertex(obj, {x, y, RandomHeight(random)});
        }
        const int faceCount = static_cast<int>(random() % 40);
        for (int f = 0; f < faceCount; ++f) {
            const int n = 1 + static_cast<int>(random() % 5);
            std::vector<int> points;
            for (int k = 0; k < n; ++k)
                points.push_back(static_cast<int>(random() % vertexCount));
            if (random() % 15 == 0)
                points[random() % n] = vertexCount + 3;
            if (random() % 15 == 0) {
                AddRawFace(obj, points);
                continue;
            }
            const int face = host::AddFace(obj, points);
            if (face >= 0 && random() % 10 == 0)
                host::DeleteFace(obj, face);
        }
        for (int v = 0; v < vertexCount; ++v)
            if (random() % 4 != 0)
                host::SelectVertex(obj, v);
    }
    // The profile: a random object slot, sometimes an empty one.
    doc.currentObject = static_cast<int>(random() % doc.objects.size());
}

TEST(BulgeGrid, CommandOnRandomDocumentsMatchesThePlainScan)
{
    kivera_test::PluginSession session;
    std::mt19937 random(424242);
    int raised = 0;
    for (int round = 0; round < 200; ++round) {
        // The same document twice: one for the command, one for the scan.
        std::mt19937 again = random, onceMore = random;
        host::Document doc, expected, before;
        BuildRandomDocument(random, doc);
        BuildRandomDocument(again, expected);
        BuildRandomDocument(onceMore, before);
        const bool hasProfile = doc.objects[doc.currentObject] != nullptr;
        if (hasProfile)
            ApplyReferenceBulge(expected);

        ASSERT_EQ(session.Run(kBulgeRow, doc), hasProfile ? 1 : 0);
        for (std::size_t j = 0; j < doc.objects.size(); ++j) {
            if (!doc.objects[j])
                continue;
            const auto& got = doc.objects[j]->vertices;
            const auto& want = expected.objects[j]->vertices;
            ASSERT_EQ(got.size(), want.size());
            for (std::size_t v = 0; v < got.size(); ++v) {
                ASSERT_EQ(Bits(got[v].x), Bits(want[v].x));
                ASSERT_EQ(Bits(got[v].y), Bits(want[v].y));
                ASSERT_EQ(Bits(got[v].z), Bits(want[v].z))
                    << "round " << round << ", object " << j << ", vertex " << v;
                if (Bits(want[v].z) != Bits(before.objects[j]->vertices[v].z))
                    ++raised;
            }
        }
    }
    EXPECT_GT(raised, 100);
}

}  // namespace
