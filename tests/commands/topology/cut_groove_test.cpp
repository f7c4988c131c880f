// Cut groove: the cross-section on its own, and the command run through
// MQModifySelect of the real module against the stand-in host.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "frame/command_ids.h"
#include "commands/topology/cut_groove.h"
#include "host/library/document.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {

using namespace kivera;

namespace {

constexpr int kCutGrooveRow = RowOf(CommandId::CutGroove);

using Corner = std::array<float, 3>;
using Corners = std::vector<Corner>;
using Points = std::vector<int>;

// An object with the given vertex positions and faces.
host::Object& Build(host::Document& doc, const Corners& positions, const std::vector<Points>& faces)
{
    host::Object& obj = *doc.objects[host::AddObject(doc, "obj")];
    for (const Corner& c : positions)
        host::AddVertex(obj, {c[0], c[1], c[2]});
    for (const Points& face : faces)
        EXPECT_GE(host::AddFace(obj, face), 0);
    return obj;
}

Corners CornersOf(const host::Object& obj, int face)
{
    Corners corners;
    for (int v : obj.faces[face].points)
        corners.push_back({obj.vertices[v].x, obj.vertices[v].y, obj.vertices[v].z});
    return corners;
}

// What the command may change: the vertex count and the faces' points.
std::pair<std::size_t, std::vector<Points>> Shape(const host::Object& obj)
{
    std::vector<Points> faces;
    for (const host::Face& face : obj.faces)
        faces.emplace_back(face.points.begin(), face.points.end());
    return {obj.vertices.size(), faces};
}

// The flat strip of the worked example, vertices p a b e q r = 0..5 and a
// spare x = 6; F = [p, a, b, e] is face 0, G = [q, b, a, r] face 1.
const Corners kStrip = {{-3, 0, 0}, {0, 0, 0}, {0, 0, 4}, {-3, 0, 4},
                        {3, 0, 4},  {3, 0, 0}, {3, 0, 2}};
const Points kStripF = {0, 1, 2, 3};
const Points kStripG = {4, 2, 1, 5};

// The five faces the worked example adds, in order.
const std::vector<Corners> kStripGroove = {
    {{-3, 0, 0}, {-1, 0, 0}, {-1, 0, 4}, {-3, 0, 4}},
    {{-1, 0, 0}, {-1, -2, 0}, {-1, -2, 4}, {-1, 0, 4}},
    {{-1, -2, 0}, {1, -2, 0}, {1, -2, 4}, {-1, -2, 4}},
    {{1, -2, 0}, {1, 0, 0}, {1, 0, 4}, {1, -2, 4}},
    {{3, 0, 4}, {1, 0, 4}, {1, 0, 0}, {3, 0, 0}},
};

void ExpectStripGroove(const host::Object& obj)
{
    ASSERT_EQ(obj.faces.size(), 7u);
    EXPECT_TRUE(obj.faces[0].points.empty() && obj.faces[1].points.empty());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(CornersOf(obj, 2 + i), kStripGroove[i]) << "new face " << i;
}

TEST(GrooveProfile, CrossEdgesNotExactlyOppositeKeepTheFloorInTheirPlane)
{
    // Both cross edges lie in y = 0, bent slightly: the bisector exists, so
    // the normal is not used and the floor stays in that plane.
    Point3 profile[4];
    ASSERT_EQ(GrooveProfile(2.0f, 2.0f, {-3, 0, 0}, {0, 0, 0}, {3, 0, 0.25f}, {0, 1, 0}, profile),
              1);
    EXPECT_EQ(profile[1].y, 0.0f);
    EXPECT_EQ(profile[2].y, 0.0f);
    EXPECT_GT(profile[1].z, profile[0].z);   // into the angle between the edges
    const double dx = double(profile[3].x) - profile[0].x;
    const double dz = double(profile[3].z) - profile[0].z;
    EXPECT_NEAR(std::sqrt(dx * dx + dz * dz), 2.0, 1e-5);   // tops exactly 2 apart
}

TEST(GrooveProfile, CrossEdgesPointingTheSameWayHaveNoProfile)
{
    Point3 profile[4] = {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
    EXPECT_EQ(GrooveProfile(2.0f, 2.0f, {-3, 0, 0}, {0, 0, 0}, {-1, 0, 0}, {0, 1, 0}, profile), 0);
    EXPECT_EQ(GrooveProfile(2.0f, 2.0f, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 1, 0}, profile), 0);
    EXPECT_EQ(profile[0].x, 7.0f);
}

TEST(CutGroove, FlatStripGetsTheGrooveOfTheWorkedExample)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = Build(doc, kStrip, {kStripF, kStripG});
    host::SelectLine(obj, 0, 1);

    host::StartTrace();
    EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1);
    const std::vector<host::Call> calls = host::StopTrace();

    ExpectStripGroove(obj);
    // a0..a3 are vertices 7..10, b0..b3 are 11..14.
    EXPECT_EQ(obj.faces[2].points, (Points{0, 7, 11, 3}));
    EXPECT_EQ(obj.faces[4].points, (Points{8, 9, 13, 12}));
    EXPECT_EQ(obj.faces[6].points, (Points{4, 14, 10, 5}));
    // Everything is added before F, then G, is deleted.
    std::vector<std::string> edits;
    for (const host::Call& call : calls)
        if (call.name == "MQObj_AddVertex" || call.name == "MQObj_AddFace")
            edits.push_back(call.name);
        else if (call.name == "MQObj_DeleteFace")
            edits.push_back("delete " + std::to_string(call.args[0]));
    std::vector<std::string> expected(8, "MQObj_AddVertex");
    expected.insert(expected.end(), 5, "MQObj_AddFace");
    expected.insert(expected.end(), {"delete 0", "delete 1"});
    EXPECT_EQ(edits, expected);
}

TEST(CutGroove, LastLineOfTheFaceWrapsToItsFirstPoint)
{
    kivera_test::PluginSession session;
    host::Document doc;
    // The worked example with both faces starting elsewhere: line 3 of F
    // runs from a back to b = F[0], and e is F[1].
    host::Object& obj = Build(doc, kStrip, {{2, 3, 0, 1}, {1, 5, 4, 2}});
    host::SelectLine(obj, 0, 3);
    session.Run(kCutGrooveRow, doc);
    ExpectStripGroove(obj);
}

TEST(CutGroove, LineSelectedInBothFacesIsCutOnce)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = Build(doc, kStrip, {kStripF, kStripG});
    host::SelectLine(obj, 0, 1);
    host::SelectLine(obj, 1, 1);
    session.Run(kCutGrooveRow, doc);
    EXPECT_EQ(obj.vertices.size(), 15u);
    ExpectStripGroove(obj);
}

TEST(CutGroove, TrianglesKeepTheirThirdCornerAtBothEndsOfTheNarrowedFace)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj =
        Build(doc, {{-3, 0, 2}, {0, 0, 0}, {0, 0, 4}, {3, 0, 2}}, {{0, 1, 2}, {3, 2, 1}});
    host::SelectLine(obj, 0, 1);
    session.Run(kCutGrooveRow, doc);

    ASSERT_EQ(obj.faces.size(), 7u);
    EXPECT_EQ(obj.faces[2].points.front(), 0);   // p = e = the third corner
    EXPECT_EQ(obj.faces[2].points.back(), 0);
    EXPECT_EQ(obj.faces[6].points.front(), 3);   // q = r
    EXPECT_EQ(obj.faces[6].points.back(), 3);
    // The cross edges are not opposite: the groove follows their bisector
    // within the surface, its tops 2 apart.
    for (int v = 4; v < 12; ++v)
        EXPECT_EQ(obj.vertices[v].y, 0.0f) << "vertex " << v;
    EXPECT_NEAR(obj.vertices[4].x, -1.0f, 1e-5);
    EXPECT_NEAR(obj.vertices[7].x, 1.0f, 1e-5);
}

TEST(CutGroove, RidgeFloorFollowsTheBisectorOfTheCrossEdges)
{
    kivera_test::PluginSession session;
    host::Document doc;
    // A symmetric roof with its ridge a-b along z.
    host::Object& obj = Build(
        doc, {{-3, -3, 0}, {0, 0, 0}, {0, 0, 4}, {-3, -3, 4}, {3, -3, 4}, {3, -3, 0}},
        {kStripF, kStripG});
    host::SelectLine(obj, 0, 1);
    session.Run(kCutGrooveRow, doc);

    // Straight down from the tops (the bisector), not along F's normal.
    const Corners wallF = CornersOf(obj, 3);
    const Corners expected = {{-1, -1, 0}, {-1, -3, 0}, {-1, -3, 4}, {-1, -1, 4}};
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(wallF[i][c], expected[i][c], 1e-5) << "corner " << i << " axis " << c;
}

// Three 4 x 4 squares in a row: A (face 0), B (face 1), C (face 2).
const Corners kRow = {{0, 0, 0}, {4, 0, 0}, {8, 0, 0}, {12, 0, 0},
                      {0, 4, 0}, {4, 4, 0}, {8, 4, 0}, {12, 4, 0}};
const std::vector<Points> kRowFaces = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}};

TEST(CutGroove, FaceWithTwoSelectedLinesGetsOneGrooveAtItsLowestLine)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = Build(doc, kRow, kRowFaces);
    host::SelectLine(obj, 1, 1);   // B|C
    host::SelectLine(obj, 1, 3);   // A|B
    session.Run(kCutGrooveRow, doc);

    EXPECT_EQ(obj.vertices.size(), 16u);
    EXPECT_EQ(obj.faces[0].points, kRowFaces[0]);
    EXPECT_EQ(CornersOf(obj, 3), (Corners{{4, 0, 0}, {7, 0, 0}, {7, 4, 0}, {4, 4, 0}}));
    EXPECT_EQ(CornersOf(obj, 7), (Corners{{12, 4, 0}, {9, 4, 0}, {9, 0, 0}, {12, 0, 0}}));
}

TEST(CutGroove, NarrowedFaceTakesASecondGrooveFromTheFaceOnItsOtherSide)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = Build(doc, kRow, kRowFaces);
    host::SelectLine(obj, 0, 1);   // A|B
    host::SelectLine(obj, 2, 3);   // C|B
    session.Run(kCutGrooveRow, doc);

    // A|B replaces A and B (B' is face 7); then C|B' replaces C and B'.
    EXPECT_EQ(obj.vertices.size(), 24u);
    EXPECT_TRUE(obj.faces[7].points.empty());
    EXPECT_EQ(CornersOf(obj, 3), (Corners{{0, 0, 0}, {3, 0, 0}, {3, 4, 0}, {0, 4, 0}}));
    EXPECT_EQ(CornersOf(obj, 12), (Corners{{5, 0, 0}, {7, 0, 0}, {7, 4, 0}, {5, 4, 0}}));
}

// Which lines have a face across them is FindFaceAcrossLine's (tests/geom);
// here, what the command does with the lines it refuses.
TEST(CutGroove, LinesThatCannotTakeAGrooveChangeNothing)
{
    kivera_test::PluginSession session;
    struct Case {
        const char* name;
        std::vector<Points> faces;
        int face, line;
    };
    const Case cases[] = {
        {"nothing selected", {kStripF, kStripG}, -1, 0},
        {"border line", {kStripF, kStripG}, 0, 0},
        {"line is the second face's diagonal", {kStripF, {1, 5, 2, 4}}, 0, 1},
        {"second face folded onto the first", {kStripF, {3, 2, 1, 0}}, 0, 1},
    };
    for (const Case& c : cases) {
        host::Document doc;
        host::Object& obj = Build(doc, kStrip, c.faces);
        if (c.face >= 0)
            host::SelectLine(obj, c.face, c.line);
        const auto before = Shape(obj);
        EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1) << c.name;
        EXPECT_EQ(Shape(obj), before) << c.name;
    }
}

TEST(CutGroove, BadVertexIndexOrPositionLeavesTheLineAlone)
{
    kivera_test::PluginSession session;
    for (int bad = 0; bad < 2; ++bad) {
        host::Document doc;
        host::Object& obj = Build(doc, kStrip, {kStripF, kStripG});
        if (bad == 0)
            obj.faces[1].points[3] = 99;   // r names no vertex
        else
            obj.vertices[0].x = std::numeric_limits<float>::quiet_NaN();   // p
        host::SelectLine(obj, 0, 1);
        const auto before = Shape(obj);
        EXPECT_EQ(session.Run(kCutGrooveRow, doc), 1);
        EXPECT_EQ(Shape(obj), before) << "case " << bad;
        obj.faces[1].points = kStripG;   // keep the host's counts consistent
    }
}

}  // namespace

}  // namespace kivera_test
