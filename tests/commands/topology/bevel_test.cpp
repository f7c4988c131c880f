// Bevel guide lines: the coplanar limit on its own, and the
// command run through MQModifySelect of the real module against the stand-in
// host.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "frame/command_ids.h"
#include "commands/topology/bevel.h"
#include "host/library/document.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {

using namespace kivera;

namespace {

constexpr int kBevelRow = RowOf(CommandId::Bevel);
constexpr float kCubeOffset = 0.29289323f;   // 1 - cos 45 degrees

using Corner = std::array<float, 3>;
using Corners = std::vector<Corner>;
using Points = std::vector<int>;

host::Object& Build(host::Document& doc, const Corners& positions, const std::vector<Points>& faces)
{
    host::Object& obj = *doc.objects[host::AddObject(doc, "obj")];
    for (const Corner& c : positions)
        host::AddVertex(obj, {c[0], c[1], c[2]});
    for (const Points& face : faces)
        EXPECT_GE(host::AddFace(obj, face), 0);
    return obj;
}

// The positions of vertices first, first + 1, ...
Corners PositionsFrom(const host::Object& obj, std::size_t first)
{
    Corners positions;
    for (std::size_t v = first; v < obj.vertices.size(); ++v)
        positions.push_back({obj.vertices[v].x, obj.vertices[v].y, obj.vertices[v].z});
    return positions;
}

void ExpectPositions(const Corners& actual, const Corners& expected, double tolerance = 1e-6)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(actual[i][c], expected[i][c], tolerance) << "point " << i << " axis " << c;
}

std::pair<std::size_t, std::vector<Points>> Shape(const host::Object& obj)
{
    std::vector<Points> faces;
    for (const host::Face& face : obj.faces)
        faces.emplace_back(face.points.begin(), face.points.end());
    return {obj.vertices.size(), faces};
}

// The cube edge of the worked example, p a b e q r = 0..5 and a spare
// x = 6 on the edge: F = [p, a, b, e] (top) and G = [q, b, a, r] (side).
const Corners kCube = {{0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1},
                       {1, 0, 1}, {1, 0, 0}, {1, 1, 0.5f}};
const Points kCubeF = {0, 1, 2, 3};
const Points kCubeG = {4, 2, 1, 5};
// A1, B1, B2, A2 of the worked example.
const Corners kCubeGuides = {
    {kCubeOffset, 1, 0}, {kCubeOffset, 1, 1}, {1, kCubeOffset, 1}, {1, kCubeOffset, 0}};

TEST(BevelGuidePoint, CoplanarFacesTakeTheLimitOfANearlyFlatRidge)
{
    // F lies in y = 0 on the -x side of the line a-b along z; G continues it
    // flat, or bent down by a small angle (a ridge).
    const Point3 a = {0, 0, 0};
    const Point3 b = {0, 0, 4};
    const BevelAngle flat = MeasureBevelAngle({0, 1, 0}, {0, 1, 0}, kBevelSize);
    ASSERT_EQ(flat.theta, 0.0f);
    const BevelAngle ridge =
        MeasureBevelAngle({0, 1, 0}, {std::sin(0.01f), std::cos(0.01f), 0}, kBevelSize);
    // A square corner and one at 45 degrees.
    for (const Point3 across : {Point3{-3, 0, 0}, Point3{-3, 0, 3}}) {
        const Point3 limit = BevelGuidePoint(flat, a, across, b);
        const Point3 near = BevelGuidePoint(ridge, a, across, b);
        EXPECT_NEAR(limit.x, near.x, 1e-3);
        EXPECT_NEAR(limit.y, near.y, 1e-3);
        EXPECT_NEAR(limit.z, near.z, 1e-3);
    }
    // At the square corner the guide point lies size / 2 inside F.
    EXPECT_FLOAT_EQ(BevelGuidePoint(flat, a, {-3, 0, 0}, b).x, -1.0f);
}

TEST(Bevel, CubeEdgeGetsTheGuideLinesOfTheWorkedExample)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = Build(doc, kCube, {kCubeF, kCubeG});
    host::SelectLine(obj, 0, 1);

    host::StartTrace();
    EXPECT_EQ(session.Run(kBevelRow, doc), 1);
    const std::vector<host::Call> calls = host::StopTrace();

    ExpectPositions(PositionsFrom(obj, 7), kCubeGuides);
    ASSERT_EQ(obj.faces.size(), 4u);
    EXPECT_EQ(obj.faces[2].points, (Points{7, 8}));
    EXPECT_EQ(obj.faces[3].points, (Points{9, 10}));
    EXPECT_EQ(obj.faces[0].points, kCubeF);   // the faces stay as they were
    EXPECT_EQ(obj.faces[1].points, kCubeG);
    // Nothing but vertices and lines is added: no delete, move or selection.
    std::string edits;
    for (const host::Call& call : calls) {
        EXPECT_EQ(call.name.find("Delete"), std::string::npos) << call.name;
        EXPECT_EQ(call.name.find("AddSelect"), std::string::npos) << call.name;
        EXPECT_NE(call.name, "MQObj_SetVertex");
        if (call.name == "MQObj_AddVertex")
            edits += "v";
        if (call.name == "MQObj_AddFace")
            edits += "f" + std::to_string(call.args[0]);
    }
    EXPECT_EQ(edits, "vvf2vvf2");
}

TEST(Bevel, LineSelectedInBothFacesGetsTwoSetsOfGuideLines)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = Build(doc, kCube, {kCubeF, kCubeG});
    host::SelectLine(obj, 0, 1);
    host::SelectLine(obj, 1, 1);
    session.Run(kBevelRow, doc);

    // The second set has G as the first face, whose line runs from b to a.
    ExpectPositions(PositionsFrom(obj, 11), {kCubeGuides[2], kCubeGuides[3], kCubeGuides[0],
                                             kCubeGuides[1]});
    ASSERT_EQ(obj.faces.size(), 6u);
    EXPECT_EQ(obj.faces[5].points, (Points{13, 14}));
}

TEST(Bevel, GuidePointsFollowTheAngleBetweenTheFaces)
{
    kivera_test::PluginSession session;
    const float beyond = 1.70710677f;   // 1 + cos 45 degrees
    struct Case {
        const char* name;
        Corners positions;
        std::vector<Points> faces;
        Corners guides;   // A1, B1, B2, A2 (at the first face's line start first)
    };
    const Case cases[] = {
        // G lies on F, turned over: theta = pi, h = 0.
        {"folded flat", {{0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1}, {0, 1, 1}, {0, 1, 0}},
         {kCubeF, kCubeG}, {{1, 1, 0}, {1, 1, 1}, {1, 1, 1}, {1, 1, 0}}},
        // The cube edge seen from inside: concave, so the points lie beyond it.
        {"valley", kCube, {{3, 2, 1, 0}, {5, 1, 2, 4}},
         {{beyond, 1, 1}, {beyond, 1, 0}, {1, beyond, 0}, {1, beyond, 1}}},
        // Both cross edges of F lead to c: each point moves sqrt 0.4 toward it.
        {"triangle", {{0, 1, 0.5f}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}, {1, 0, 0}},
         {{0, 1, 2}, {3, 2, 1, 4}},
         {{0.43431458f, 1, 0.28284271f}, {0.43431458f, 1, 0.71715729f}, kCubeGuides[2],
          kCubeGuides[3]}},
        // Coplanar: finite, each guide line inside its own face.
        {"coplanar", {{-3, 0, 0}, {0, 0, 0}, {0, 0, 4}, {-3, 0, 4}, {3, 0, 4}, {3, 0, 0}},
         {kCubeF, kCubeG}, {{-1, 0, 0}, {-1, 0, 4}, {1, 0, 4}, {1, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host::Document doc;
        host::Object& obj = Build(doc, c.positions, c.faces);
        host::SelectLine(obj, 0, 1);
        session.Run(kBevelRow, doc);
        ExpectPositions(PositionsFrom(obj, c.positions.size()), c.guides, 1e-5);
        for (const Corner& guide : PositionsFrom(obj, c.positions.size()))
            for (float value : guide)
                EXPECT_TRUE(std::isfinite(value) && std::fabs(value) <= 4.0f);
    }
}

TEST(Bevel, LinesMeetingAtACornerGetSeparateGuideVertices)
{
    kivera_test::PluginSession session;
    host::Document doc;
    // Top, side x = 1 and side z = 1 of the unit cube around (1, 1, 1) = 1.
    host::Object& obj =
        Build(doc, {{0, 1, 1}, {1, 1, 1}, {1, 1, 0}, {0, 1, 0}, {1, 0, 1}, {1, 0, 0}, {0, 0, 1}},
              {{3, 2, 1, 0}, {4, 1, 2, 5}, {0, 1, 4, 6}});
    host::SelectLine(obj, 0, 1);   // (1,1,0) to (1,1,1)
    host::SelectLine(obj, 0, 2);   // (1,1,1) to (0,1,1)
    session.Run(kBevelRow, doc);

    ASSERT_EQ(obj.faces.size(), 7u);
    std::set<int> guideVertices;
    for (int face = 3; face < 7; ++face)
        guideVertices.insert(obj.faces[face].points.begin(), obj.faces[face].points.end());
    EXPECT_EQ(guideVertices.size(), 8u);
    // Near the shared corner each line has its own guide point on the top.
    ExpectPositions({PositionsFrom(obj, 8)[0]}, {{kCubeOffset, 1, 1}});
    ExpectPositions({PositionsFrom(obj, 11)[0]}, {{1, 1, kCubeOffset}});
}

// Which lines have a face across them is FindFaceAcrossLine's (tests/geom);
// here, what the command adds to the lines it refuses.
TEST(Bevel, LinesWithoutTwoUsableFacesAddNothing)
{
    kivera_test::PluginSession session;
    struct Case {
        const char* name;
        std::vector<Points> faces;
        int face, line;
    };
    const Case cases[] = {
        {"nothing selected", {kCubeF, kCubeG}, -1, 0},
        {"border line", {kCubeF, kCubeG}, 0, 0},
        {"second face turned the same way", {kCubeF, {6, 1, 2, 4}}, 0, 1},
        {"second face without a normal", {kCubeF, {6, 2, 1}}, 0, 1},
    };
    for (const Case& c : cases) {
        host::Document doc;
        host::Object& obj = Build(doc, kCube, c.faces);
        if (c.face >= 0)
            host::SelectLine(obj, c.face, c.line);
        const auto before = Shape(obj);
        EXPECT_EQ(session.Run(kBevelRow, doc), 1) << c.name;
        EXPECT_EQ(Shape(obj), before) << c.name;
    }
}

TEST(Bevel, BadVertexIndexOrPositionAddsNothing)
{
    kivera_test::PluginSession session;
    for (int bad = 0; bad < 2; ++bad) {
        host::Document doc;
        host::Object& obj = Build(doc, kCube, {kCubeF, kCubeG});
        if (bad == 0)
            obj.faces[1].points[0] = -7;   // q names no vertex
        else
            obj.vertices[5].z = std::numeric_limits<float>::quiet_NaN();   // r
        host::SelectLine(obj, 0, 1);
        const auto before = Shape(obj);
        EXPECT_EQ(session.Run(kBevelRow, doc), 1);
        EXPECT_EQ(Shape(obj), before) << "case " << bad;
        obj.faces[1].points = kCubeG;   // keep the host's counts consistent
    }
}

}  // namespace

}  // namespace kivera_test
