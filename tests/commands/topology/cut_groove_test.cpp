// Cut groove: the cross-section on its own, and the command run through
// MQModifySelect of the real module against the stand-in host.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "commands/topology/cut_groove.h"
#include "host/document.h"
#include "tests/support/plugin_session.h"

namespace {

constexpr int kCutGrooveRow = 14;

using Corner = std::array<float, 3>;
using Corners = std::vector<Corner>;

host::Object& NewObject(host::Document& doc)
{
    return *doc.objects[host::AddObject(doc, "obj")];
}

int Vertex(host::Object& obj, float x, float y, float z) { return host::AddVertex(obj, {x, y, z}); }

int Face(host::Object& obj, const std::vector<int>& points)
{
    const int face = host::AddFace(obj, points);
    EXPECT_GE(face, 0);
    return face;
}

Corners CornersOf(const host::Object& obj, int face)
{
    Corners corners;
    for (int v : obj.faces[face].points)
        corners.push_back({obj.vertices[v].x, obj.vertices[v].y, obj.vertices[v].z});
    return corners;
}

// The faces' point lists and the vertex count: what the command may change.
std::pair<std::size_t, std::vector<std::vector<int>>> Shape(const host::Object& obj)
{
    std::vector<std::vector<int>> faces;
    for (const host::Face& face : obj.faces)
        faces.push_back(face.points);
    return {obj.vertices.size(), faces};
}

int UsedFaceCount(const host::Object& obj)
{
    int count = 0;
    for (const host::Face& face : obj.faces)
        count += face.points.empty() ? 0 : 1;
    return count;
}

// The flat strip of the worked example: F = [p, a, b, e] (face 0) and
// G = [q, b, a, r] (face 1), meeting along a-b on the z axis.
struct Strip {
    int p, a, b, e, q, r;
    int f, g;
};

Strip AddStrip(host::Object& obj)
{
    Strip s;
    s.p = Vertex(obj, -3, 0, 0);
    s.a = Vertex(obj, 0, 0, 0);
    s.b = Vertex(obj, 0, 0, 4);
    s.e = Vertex(obj, -3, 0, 4);
    s.q = Vertex(obj, 3, 0, 4);
    s.r = Vertex(obj, 3, 0, 0);
    s.f = Face(obj, {s.p, s.a, s.b, s.e});
    s.g = Face(obj, {s.q, s.b, s.a, s.r});
    return s;
}

// The five faces the worked example adds, in order.
const std::vector<Corners> kStripGroove = {
    {{-3, 0, 0}, {-1, 0, 0}, {-1, 0, 4}, {-3, 0, 4}},
    {{-1, 0, 0}, {-1, -2, 0}, {-1, -2, 4}, {-1, 0, 4}},
    {{-1, -2, 0}, {1, -2, 0}, {1, -2, 4}, {-1, -2, 4}},
    {{1, -2, 0}, {1, 0, 0}, {1, 0, 4}, {1, -2, 4}},
    {{3, 0, 4}, {1, 0, 4}, {1, 0, 0}, {3, 0, 0}},
};

void ExpectStripGroove(const host::Object& obj, int firstNewFace)
{
    ASSERT_EQ(obj.faces.size(), static_cast<std::size_t>(firstNewFace + 5));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(CornersOf(obj, firstNewFace + i), kStripGroove[i]) << "new face " << i;
}

// --- The cross-section -------------------------------------------------------

TEST(GrooveProfile, OppositeCrossEdgesGoStraightAgainstTheNormal)
{
    Point3 profile[4];
    ASSERT_EQ(GrooveProfile(2.0f, 2.0f, {-3, 0, 0}, {0, 0, 0}, {3, 0, 0}, {0, 1, 0}, profile), 1);
    EXPECT_EQ((Corner{profile[0].x, profile[0].y, profile[0].z}), (Corner{-1, 0, 0}));
    EXPECT_EQ((Corner{profile[1].x, profile[1].y, profile[1].z}), (Corner{-1, -2, 0}));
    EXPECT_EQ((Corner{profile[2].x, profile[2].y, profile[2].z}), (Corner{1, -2, 0}));
    EXPECT_EQ((Corner{profile[3].x, profile[3].y, profile[3].z}), (Corner{1, 0, 0}));
}

TEST(GrooveProfile, CrossEdgesNotExactlyOppositeKeepTheFloorInTheirPlane)
{
    // Both cross edges lie in y = 0, bent slightly: the bisector exists and
    // lies in that plane too, so the normal is not used.
    Point3 profile[4];
    ASSERT_EQ(GrooveProfile(2.0f, 2.0f, {-3, 0, 0}, {0, 0, 0}, {3, 0, 0.25f}, {0, 1, 0}, profile),
              1);
    EXPECT_EQ(profile[1].y, 0.0f);
    EXPECT_EQ(profile[2].y, 0.0f);
    // The top points are exactly the width apart.
    const double dx = double(profile[3].x) - profile[0].x;
    const double dz = double(profile[3].z) - profile[0].z;
    EXPECT_NEAR(std::sqrt(dx * dx + dz * dz), 2.0, 1e-5);
    // The floor goes into the angle between the cross edges (towards +z).
    EXPECT_GT(profile[1].z, profile[0].z);
}

TEST(GrooveProfile, CrossEdgesPointingTheSameWayHaveNoProfile)
{
    Point3 profile[4] = {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
    EXPECT_EQ(GrooveProfile(2.0f, 2.0f, {-3, 0, 0}, {0, 0, 0}, {-1, 0, 0}, {0, 1, 0}, profile), 0);
    // Two empty cross edges point nowhere, which is the same.
    EXPECT_EQ(GrooveProfile(2.0f, 2.0f, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 1, 0}, profile), 0);
    EXPECT_EQ(profile[0].x, 7.0f);
}

// --- The command -------------------------------------------------------------

TEST(CutGroove, FlatStripGetsTheGrooveOfTheWorkedExample)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const Strip s = AddStrip(obj);
    host::SelectLine(obj, s.f, 1);

    EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1);

    EXPECT_TRUE(obj.faces[s.f].points.empty());
    EXPECT_TRUE(obj.faces[s.g].points.empty());
    ExpectStripGroove(obj, 2);
    // Eight new vertices: a0..a3 then b0..b3, used as the faces name them.
    ASSERT_EQ(obj.vertices.size(), 14u);
    EXPECT_EQ(obj.faces[2].points, (std::vector<int>{s.p, 6, 10, s.e}));
    EXPECT_EQ(obj.faces[3].points, (std::vector<int>{6, 7, 11, 10}));
    EXPECT_EQ(obj.faces[4].points, (std::vector<int>{7, 8, 12, 11}));
    EXPECT_EQ(obj.faces[5].points, (std::vector<int>{8, 9, 13, 12}));
    EXPECT_EQ(obj.faces[6].points, (std::vector<int>{s.q, 13, 9, s.r}));
}

TEST(CutGroove, AddsEverythingBeforeDeletingFirstFaceThenSecond)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const Strip s = AddStrip(obj);
    host::SelectLine(obj, s.f, 1);

    host::StartTrace();
    session.Run(kCutGrooveRow, doc);
    const std::vector<host::Call> calls = host::StopTrace();

    std::vector<std::string> edits;
    std::vector<std::vector<long long>> deletions;
    for (const host::Call& call : calls) {
        if (call.name == "MQObj_AddVertex" || call.name == "MQObj_AddFace" ||
            call.name == "MQObj_DeleteFace")
            edits.push_back(call.name);
        if (call.name == "MQObj_DeleteFace")
            deletions.push_back(call.args);
        EXPECT_NE(call.name, "MQObj_Compact");
        EXPECT_NE(call.name, "MQ_RefreshView");
        EXPECT_EQ(call.name.find("MQDoc_AddSelect"), std::string::npos);
    }
    std::vector<std::string> expected(8, "MQObj_AddVertex");
    expected.insert(expected.end(), 5, "MQObj_AddFace");
    expected.insert(expected.end(), 2, "MQObj_DeleteFace");
    EXPECT_EQ(edits, expected);
    EXPECT_EQ(deletions, (std::vector<std::vector<long long>>{{s.f, 1}, {s.g, 1}}));
}

TEST(CutGroove, LastLineOfTheFaceWrapsToItsFirstPoint)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const int p = Vertex(obj, -3, 0, 0);
    const int a = Vertex(obj, 0, 0, 0);
    const int b = Vertex(obj, 0, 0, 4);
    const int e = Vertex(obj, -3, 0, 4);
    const int q = Vertex(obj, 3, 0, 4);
    const int r = Vertex(obj, 3, 0, 0);
    // The same faces as the worked example, each starting elsewhere: line 3
    // of F runs from a back to b = F[0], and e is F[1].
    const int f = Face(obj, {b, e, p, a});
    Face(obj, {a, r, q, b});
    host::SelectLine(obj, f, 3);

    session.Run(kCutGrooveRow, doc);

    ASSERT_EQ(obj.faces.size(), 7u);
    EXPECT_EQ(CornersOf(obj, 2), kStripGroove[0]);
    EXPECT_EQ(CornersOf(obj, 3), kStripGroove[1]);
    EXPECT_EQ(CornersOf(obj, 4), kStripGroove[2]);
    EXPECT_EQ(CornersOf(obj, 5), kStripGroove[3]);
    EXPECT_EQ(CornersOf(obj, 6), kStripGroove[4]);
}

TEST(CutGroove, TrianglesKeepTheirThirdCornerAtBothEndsOfTheNarrowedFace)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const int c = Vertex(obj, -3, 0, 2);
    const int a = Vertex(obj, 0, 0, 0);
    const int b = Vertex(obj, 0, 0, 4);
    const int d = Vertex(obj, 3, 0, 2);
    const int f = Face(obj, {c, a, b});
    Face(obj, {d, b, a});
    host::SelectLine(obj, f, 1);

    session.Run(kCutGrooveRow, doc);

    ASSERT_EQ(obj.faces.size(), 7u);
    // p and e are both c; q and r are both d.
    EXPECT_EQ(obj.faces[2].points.front(), c);
    EXPECT_EQ(obj.faces[2].points.back(), c);
    EXPECT_EQ(obj.faces[6].points.front(), d);
    EXPECT_EQ(obj.faces[6].points.back(), d);
    EXPECT_EQ(UsedFaceCount(obj), 5);
    // The cross edges at a both lead to c and d, so they are not opposite:
    // the groove follows their bisector within the surface.
    for (int v = 4; v < 12; ++v) {
        EXPECT_TRUE(std::isfinite(obj.vertices[v].x) && std::isfinite(obj.vertices[v].z));
        EXPECT_EQ(obj.vertices[v].y, 0.0f) << "vertex " << v;
    }
    EXPECT_NEAR(obj.vertices[4].x, -1.0f, 1e-5);   // a0: 2 apart from a3
    EXPECT_NEAR(obj.vertices[7].x, 1.0f, 1e-5);
}

TEST(CutGroove, RidgeFloorFollowsTheBisectorOfTheCrossEdges)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    // A symmetric roof with its ridge along z: F slopes down to -x, G to +x.
    const int p = Vertex(obj, -3, -3, 0);
    const int a = Vertex(obj, 0, 0, 0);
    const int b = Vertex(obj, 0, 0, 4);
    const int e = Vertex(obj, -3, -3, 4);
    const int q = Vertex(obj, 3, -3, 4);
    const int r = Vertex(obj, 3, -3, 0);
    const int f = Face(obj, {p, a, b, e});
    Face(obj, {q, b, a, r});
    host::SelectLine(obj, f, 1);

    session.Run(kCutGrooveRow, doc);

    // Top points on the slopes at x = -1 and 1, y = -1; the floor straight
    // down from them (the bisector), not along F's normal (-1, 1, 0) / sqrt 2.
    const Corners wallF = CornersOf(obj, 3);
    const Corner expected[4] = {{-1, -1, 0}, {-1, -3, 0}, {-1, -3, 4}, {-1, -1, 4}};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(wallF[i][c], expected[i][c], 1e-5) << "corner " << i << " axis " << c;
    const Corners floor = CornersOf(obj, 4);
    for (const Corner& corner : floor)
        EXPECT_NEAR(corner[1], -3.0f, 1e-5);
}

TEST(CutGroove, NothingSelectedOrBorderLineChangesNothing)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const Strip s = AddStrip(obj);
    const auto before = Shape(obj);

    EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1);
    EXPECT_EQ(Shape(obj), before);

    // Line 0 of F (p to a) lies on the open border: one face holds it.
    host::SelectLine(obj, s.f, 0);
    EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1);
    EXPECT_EQ(Shape(obj), before);
}

TEST(CutGroove, LineSelectedInBothFacesIsCutOnce)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const Strip s = AddStrip(obj);
    host::SelectLine(obj, s.f, 1);
    host::SelectLine(obj, s.g, 1);

    session.Run(kCutGrooveRow, doc);

    EXPECT_EQ(obj.vertices.size(), 14u);
    ExpectStripGroove(obj, 2);
}

// Three squares in a row along x: A = face 0, B = face 1, C = face 2.
// Vertex (column c, row r) is r * 4 + c at (4c, 4r, 0).
void AddRow(host::Object& obj)
{
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
            Vertex(obj, 4.0f * column, 4.0f * row, 0);
    Face(obj, {0, 1, 5, 4});
    Face(obj, {1, 2, 6, 5});
    Face(obj, {2, 3, 7, 6});
}

TEST(CutGroove, FaceWithTwoSelectedLinesGetsOneGrooveAtItsLowestLine)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddRow(obj);
    host::SelectLine(obj, 1, 1);   // B's right side, shared with C
    host::SelectLine(obj, 1, 3);   // B's left side, shared with A

    session.Run(kCutGrooveRow, doc);

    EXPECT_EQ(obj.vertices.size(), 16u);
    EXPECT_EQ(obj.faces[0].points, (std::vector<int>{0, 1, 5, 4}));   // A untouched
    EXPECT_TRUE(obj.faces[1].points.empty());
    EXPECT_TRUE(obj.faces[2].points.empty());
    EXPECT_EQ(CornersOf(obj, 3), (Corners{{4, 0, 0}, {7, 0, 0}, {7, 4, 0}, {4, 4, 0}}));
    EXPECT_EQ(CornersOf(obj, 7), (Corners{{12, 4, 0}, {9, 4, 0}, {9, 0, 0}, {12, 0, 0}}));
}

TEST(CutGroove, NarrowedFaceTakesASecondGrooveFromTheFaceOnItsOtherSide)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddRow(obj);
    host::SelectLine(obj, 0, 1);   // A's right side, shared with B
    host::SelectLine(obj, 2, 3);   // C's left side, shared with B

    session.Run(kCutGrooveRow, doc);

    EXPECT_EQ(obj.vertices.size(), 24u);
    // A|B first: A and B are replaced; then C|B', where B' is B narrowed.
    EXPECT_EQ(UsedFaceCount(obj), 9);
    EXPECT_EQ(CornersOf(obj, 3), (Corners{{0, 0, 0}, {3, 0, 0}, {3, 4, 0}, {0, 4, 0}}));
    EXPECT_TRUE(obj.faces[7].points.empty());   // B' is gone as well
    EXPECT_EQ(CornersOf(obj, 8), (Corners{{12, 4, 0}, {9, 4, 0}, {9, 0, 0}, {12, 0, 0}}));
    EXPECT_EQ(CornersOf(obj, 12), (Corners{{5, 0, 0}, {7, 0, 0}, {7, 4, 0}, {5, 4, 0}}));
}

TEST(CutGroove, UnusableNeighboursArePassedOver)
{
    kivera_test::PluginSession session;
    struct Case {
        const char* name;
        std::vector<int> second;   // in terms of p a b e q r = 0..5, and x = 6
    };
    const Case cases[] = {
        // Holds a twice and b not at all: there is no b to find in it.
        {"one end twice", {1, 6, 1, 5}},
        // Turned the same way as F: its other corners would be lost.
        {"turned the same way", {6, 1, 2, 4}},
        // a and b are its diagonal.
        {"diagonal", {1, 5, 2, 4}},
        // A line lying on the selected line: no cross edges.
        {"two points", {2, 1}},
        // Folded flat onto F: both cross edges point the same way.
        {"folded onto F", {3, 2, 1, 0}},
        // Too large: treated as absent, so the line is a border.
        {"five points", {4, 2, 1, 5, 6}},
    };
    for (const Case& c : cases) {
        host::Document doc;
        host::Object& obj = NewObject(doc);
        for (const Corner& position : Corners{
                 {-3, 0, 0}, {0, 0, 0}, {0, 0, 4}, {-3, 0, 4}, {3, 0, 4}, {3, 0, 0}, {3, 0, 2}})
            Vertex(obj, position[0], position[1], position[2]);
        const int f = Face(obj, {0, 1, 2, 3});
        Face(obj, c.second);
        host::SelectLine(obj, f, 1);
        const auto before = Shape(obj);

        EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1) << c.name;
        EXPECT_EQ(Shape(obj), before) << c.name;
    }
}

TEST(CutGroove, LinesOfUnusableFirstFacesArePassedOver)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const Strip s = AddStrip(obj);
    // A two-point face on the line and a five-point face holding it.
    const int line = Face(obj, {s.a, s.b});
    const int big = Face(obj, {s.e, s.b, s.a, s.p, Vertex(obj, -3, 0, 2)});
    host::SelectLine(obj, line, 0);
    host::SelectLine(obj, big, 1);
    const auto before = Shape(obj);

    EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1);
    EXPECT_EQ(Shape(obj), before);
}

TEST(CutGroove, BadVertexIndexOrPositionLeavesTheLineAlone)
{
    kivera_test::PluginSession session;
    {
        host::Document doc;
        host::Object& obj = NewObject(doc);
        const Strip s = AddStrip(obj);
        obj.faces[s.g].points[3] = 99;   // r names no vertex
        host::SelectLine(obj, s.f, 1);
        const auto before = Shape(obj);
        EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1);
        EXPECT_EQ(Shape(obj), before);
        obj.faces[s.g].points[3] = s.r;   // keep the host's counts consistent
    }
    {
        host::Document doc;
        host::Object& obj = NewObject(doc);
        const Strip s = AddStrip(obj);
        obj.vertices[s.p].x = std::numeric_limits<float>::quiet_NaN();
        host::SelectLine(obj, s.f, 1);
        const auto before = Shape(obj);
        EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1);
        EXPECT_EQ(Shape(obj), before);
    }
}

TEST(CutGroove, EveryObjectIsCutAndEmptySlotsAreSkipped)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::AddEmptyObjectSlot(doc);
    host::Object& first = NewObject(doc);
    host::Object& second = NewObject(doc);
    host::SelectLine(first, AddStrip(first).f, 1);
    host::SelectLine(second, AddStrip(second).f, 1);

    EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1);
    ExpectStripGroove(first, 2);
    ExpectStripGroove(second, 2);
}

}  // namespace
