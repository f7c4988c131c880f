// Bevel guide lines: the ring access and the guide-point arithmetic on their
// own, and the command run through MQModifySelect of the real module against
// the stand-in host.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "commands/topology/bevel.h"
#include "host/document.h"
#include "tests/support/plugin_session.h"

namespace {

constexpr int kBevelRow = 17;

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

void ExpectPosition(const host::Vec3& actual, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(actual.x, x);
    EXPECT_FLOAT_EQ(actual.y, y);
    EXPECT_FLOAT_EQ(actual.z, z);
}

void ExpectNear(const host::Vec3& actual, float x, float y, float z)
{
    EXPECT_NEAR(actual.x, x, 1e-5);
    EXPECT_NEAR(actual.y, y, 1e-5);
    EXPECT_NEAR(actual.z, z, 1e-5);
}

std::pair<std::size_t, std::vector<std::vector<int>>> Shape(const host::Object& obj)
{
    std::vector<std::vector<int>> faces;
    for (const host::Face& face : obj.faces)
        faces.push_back(face.points);
    return {obj.vertices.size(), faces};
}

// The cube edge of the worked example: a = (1,1,0) to b = (1,1,1), the top
// face F (face 0) and the side face G (face 1). Vertices 0..5.
struct CubeEdge {
    int f, g;
};

CubeEdge AddCubeEdge(host::Object& obj)
{
    const int p = Vertex(obj, 0, 1, 0);
    const int a = Vertex(obj, 1, 1, 0);
    const int b = Vertex(obj, 1, 1, 1);
    const int e = Vertex(obj, 0, 1, 1);
    const int q = Vertex(obj, 1, 0, 1);
    const int r = Vertex(obj, 1, 0, 0);
    return {Face(obj, {p, a, b, e}), Face(obj, {q, b, a, r})};
}

constexpr float kCubeOffset = 0.29289323f;

// --- Ring access and guide points --------------------------------------------

TEST(PointAt, WrapsPositionsBothWays)
{
    const FaceRing ring = {3, {10, 11, 12, -1}};
    EXPECT_EQ(PointAt(ring, 0), 10);
    EXPECT_EQ(PointAt(ring, 2), 12);
    EXPECT_EQ(PointAt(ring, -1), 12);
    EXPECT_EQ(PointAt(ring, 3 + 1), 11);
    EXPECT_EQ(PointAt(ring, -4), 12);
    EXPECT_EQ(PointAt(ring, 7), 11);
    const FaceRing empty = {0, {-1, -1, -1, -1}};
    EXPECT_EQ(PointAt(empty, 5), -1);
}

TEST(BevelGuidePoint, CoplanarFacesTakeTheLimitOfANearlyFlatRidge)
{
    // F lies in y = 0 on the -x side of the line along z; G continues it on
    // the +x side, bent down by a small angle (a ridge) or not at all.
    const Point3 end = {0, 0, 0};
    const Point3 otherEnd = {0, 0, 4};
    const Point3 normalF = {0, 1, 0};
    const BevelAngle flat = MeasureBevelAngle(normalF, normalF, kBevelSize);
    ASSERT_EQ(flat.theta, 0.0f);
    const float bend = 0.01f;
    const BevelAngle ridge =
        MeasureBevelAngle(normalF, {std::sin(bend), std::cos(bend), 0}, kBevelSize);
    ASSERT_GT(ridge.theta, 0.0f);
    // A square corner and an oblique one (cross edge at 45 degrees).
    const Point3 acrossList[2] = {{-3, 0, 0}, {-3, 0, 3}};
    for (const Point3& across : acrossList) {
        const Point3 limit = BevelGuidePoint(flat, end, across, otherEnd);
        const Point3 near = BevelGuidePoint(ridge, end, across, otherEnd);
        EXPECT_NEAR(limit.x, near.x, 1e-3);
        EXPECT_NEAR(limit.y, near.y, 1e-3);
        EXPECT_NEAR(limit.z, near.z, 1e-3);
    }
    // At the square corner the guide lies size / 2 inside F.
    const Point3 square = BevelGuidePoint(flat, end, acrossList[0], otherEnd);
    EXPECT_FLOAT_EQ(square.x, -1.0f);
    EXPECT_EQ(square.y, 0.0f);
    EXPECT_EQ(square.z, 0.0f);
}

// --- The command -------------------------------------------------------------

TEST(Bevel, CubeEdgeGetsTheGuideLinesOfTheWorkedExample)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const CubeEdge cube = AddCubeEdge(obj);
    host::SelectLine(obj, cube.f, 1);

    EXPECT_EQ(session.Run(kBevelRow, doc), 1);

    ASSERT_EQ(obj.vertices.size(), 10u);
    ExpectPosition(obj.vertices[6], kCubeOffset, 1, 0);   // A1
    ExpectPosition(obj.vertices[7], kCubeOffset, 1, 1);   // B1
    ExpectPosition(obj.vertices[8], 1, kCubeOffset, 1);   // B2
    ExpectPosition(obj.vertices[9], 1, kCubeOffset, 0);   // A2
    ASSERT_EQ(obj.faces.size(), 4u);
    EXPECT_EQ(obj.faces[2].points, (std::vector<int>{6, 7}));
    EXPECT_EQ(obj.faces[3].points, (std::vector<int>{8, 9}));
    // The faces themselves are left as they were.
    EXPECT_EQ(obj.faces[0].points, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(obj.faces[1].points, (std::vector<int>{4, 2, 1, 5}));
}

TEST(Bevel, OnlyAddsVerticesAndLines)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    host::SelectLine(obj, AddCubeEdge(obj).f, 1);

    host::StartTrace();
    session.Run(kBevelRow, doc);
    const std::vector<host::Call> calls = host::StopTrace();

    std::vector<std::pair<std::string, std::vector<long long>>> edits;
    for (const host::Call& call : calls) {
        EXPECT_EQ(call.name.find("Delete"), std::string::npos) << call.name;
        EXPECT_EQ(call.name.find("AddSelect"), std::string::npos) << call.name;
        EXPECT_EQ(call.name.find("ClearSelect"), std::string::npos) << call.name;
        EXPECT_NE(call.name, "MQObj_SetVertex");
        if (call.name == "MQObj_AddVertex" || call.name == "MQObj_AddFace")
            edits.push_back({call.name, call.args});
    }
    const std::vector<std::pair<std::string, std::vector<long long>>> expected = {
        {"MQObj_AddVertex", {}}, {"MQObj_AddVertex", {}}, {"MQObj_AddFace", {2}},
        {"MQObj_AddVertex", {}}, {"MQObj_AddVertex", {}}, {"MQObj_AddFace", {2}},
    };
    EXPECT_EQ(edits, expected);
}

TEST(Bevel, NothingSelectedOrBorderLineAddsNothing)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const CubeEdge cube = AddCubeEdge(obj);
    const auto before = Shape(obj);

    EXPECT_EQ(session.Run(kBevelRow, doc), 1);
    EXPECT_EQ(Shape(obj), before);

    host::SelectLine(obj, cube.f, 0);   // p to a: only F holds it
    host::SelectLine(obj, cube.g, 2);   // a to r: only G holds it
    EXPECT_EQ(session.Run(kBevelRow, doc), 1);
    EXPECT_EQ(Shape(obj), before);
}

TEST(Bevel, LineSelectedInBothFacesGetsTwoSetsOfGuideLines)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const CubeEdge cube = AddCubeEdge(obj);
    host::SelectLine(obj, cube.f, 1);
    host::SelectLine(obj, cube.g, 1);

    session.Run(kBevelRow, doc);

    ASSERT_EQ(obj.vertices.size(), 14u);
    ASSERT_EQ(obj.faces.size(), 6u);
    // Second set, with G as the first face: its line runs from b to a.
    ExpectPosition(obj.vertices[10], 1, kCubeOffset, 1);
    ExpectPosition(obj.vertices[11], 1, kCubeOffset, 0);
    ExpectPosition(obj.vertices[12], kCubeOffset, 1, 0);
    ExpectPosition(obj.vertices[13], kCubeOffset, 1, 1);
    EXPECT_EQ(obj.faces[4].points, (std::vector<int>{10, 11}));
    EXPECT_EQ(obj.faces[5].points, (std::vector<int>{12, 13}));
}

TEST(Bevel, FacesFoldedFlatPutTheGuidePointsOnTheLineEnds)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const int p = Vertex(obj, 0, 1, 0);
    const int a = Vertex(obj, 1, 1, 0);
    const int b = Vertex(obj, 1, 1, 1);
    const int e = Vertex(obj, 0, 1, 1);
    // G lies on F, turned over: its normal is exactly opposite.
    const int q = Vertex(obj, 0, 1, 1);
    const int r = Vertex(obj, 0, 1, 0);
    const int f = Face(obj, {p, a, b, e});
    Face(obj, {q, b, a, r});
    host::SelectLine(obj, f, 1);

    session.Run(kBevelRow, doc);

    ASSERT_EQ(obj.vertices.size(), 10u);
    ExpectPosition(obj.vertices[6], 1, 1, 0);
    ExpectPosition(obj.vertices[7], 1, 1, 1);
    ExpectPosition(obj.vertices[8], 1, 1, 1);
    ExpectPosition(obj.vertices[9], 1, 1, 0);
}

TEST(Bevel, CoplanarFacesGetFiniteGuideLinesInsideEachFace)
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
    const int f = Face(obj, {p, a, b, e});
    Face(obj, {q, b, a, r});
    host::SelectLine(obj, f, 1);

    session.Run(kBevelRow, doc);

    ASSERT_EQ(obj.vertices.size(), 10u);
    for (std::size_t v = 6; v < 10; ++v)
        for (float c : {obj.vertices[v].x, obj.vertices[v].y, obj.vertices[v].z})
            EXPECT_TRUE(std::isfinite(c) && std::fabs(c) <= 4.0f) << "vertex " << v;
    ExpectPosition(obj.vertices[6], -1, 0, 0);
    ExpectPosition(obj.vertices[7], -1, 0, 4);
    ExpectPosition(obj.vertices[8], 1, 0, 4);
    ExpectPosition(obj.vertices[9], 1, 0, 0);
}

TEST(Bevel, TriangleMovesBothGuidePointsTowardItsThirdCorner)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const int c = Vertex(obj, 0, 1, 0.5f);
    const int a = Vertex(obj, 1, 1, 0);
    const int b = Vertex(obj, 1, 1, 1);
    const int q = Vertex(obj, 1, 0, 1);
    const int r = Vertex(obj, 1, 0, 0);
    const int f = Face(obj, {c, a, b});
    Face(obj, {q, b, a, r});
    host::SelectLine(obj, f, 1);

    session.Run(kBevelRow, doc);

    // u = (-2, 0, -+1) / sqrt 5 at both ends; t = cos(angle(m, u)) * 1 =
    // -sqrt 0.4, so each point moves sqrt 0.4 from its end towards c.
    ASSERT_EQ(obj.vertices.size(), 9u);
    ExpectNear(obj.vertices[5], 0.43431458f, 1, 0.28284271f);
    ExpectNear(obj.vertices[6], 0.43431458f, 1, 0.71715729f);
    ExpectPosition(obj.vertices[7], 1, kCubeOffset, 1);
    ExpectPosition(obj.vertices[8], 1, kCubeOffset, 0);
}

TEST(Bevel, ValleyPutsTheGuidePointsBeyondTheLine)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    // The cube edge seen from inside: both faces turned over, so the normals
    // point into the corner and the edge is concave.
    const int p = Vertex(obj, 0, 1, 0);
    const int a = Vertex(obj, 1, 1, 0);
    const int b = Vertex(obj, 1, 1, 1);
    const int e = Vertex(obj, 0, 1, 1);
    const int q = Vertex(obj, 1, 0, 1);
    const int r = Vertex(obj, 1, 0, 0);
    const int f = Face(obj, {e, b, a, p});
    Face(obj, {r, a, b, q});
    host::SelectLine(obj, f, 1);

    session.Run(kBevelRow, doc);

    // F's line runs from b to a, so its first guide point is at b.
    ASSERT_EQ(obj.vertices.size(), 10u);
    const float beyond = 1.70710677f;
    ExpectPosition(obj.vertices[6], beyond, 1, 1);
    ExpectPosition(obj.vertices[7], beyond, 1, 0);
    ExpectPosition(obj.vertices[8], 1, beyond, 0);
    ExpectPosition(obj.vertices[9], 1, beyond, 1);
}

TEST(Bevel, LinesMeetingAtACornerGetSeparateGuideVertices)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    // Three faces of the unit cube around the corner (1, 1, 1).
    const int c011 = Vertex(obj, 0, 1, 1);
    const int c111 = Vertex(obj, 1, 1, 1);
    const int c110 = Vertex(obj, 1, 1, 0);
    const int c010 = Vertex(obj, 0, 1, 0);
    const int c101 = Vertex(obj, 1, 0, 1);
    const int c100 = Vertex(obj, 1, 0, 0);
    const int c001 = Vertex(obj, 0, 0, 1);
    const int top = Face(obj, {c010, c110, c111, c011});
    Face(obj, {c101, c111, c110, c100});            // side x = 1
    Face(obj, {c011, c111, c101, c001});            // side z = 1
    host::SelectLine(obj, top, 1);   // (1,1,0) to (1,1,1)
    host::SelectLine(obj, top, 2);   // (1,1,1) to (0,1,1)

    session.Run(kBevelRow, doc);

    ASSERT_EQ(obj.vertices.size(), 15u);
    ASSERT_EQ(obj.faces.size(), 7u);
    std::set<int> guideVertices;
    for (int face = 3; face < 7; ++face) {
        ASSERT_EQ(obj.faces[face].points.size(), 2u);
        for (int v : obj.faces[face].points)
            guideVertices.insert(v);
    }
    EXPECT_EQ(guideVertices.size(), 8u);
    // Both lines have their guide point near the shared corner, each its own.
    ExpectPosition(obj.vertices[8], kCubeOffset, 1, 1);    // line 1, at b on the top
    ExpectPosition(obj.vertices[11], 1, 1, kCubeOffset);   // line 2, at its start on the top
}

TEST(Bevel, UnusableNeighboursAddNothingAndEndTheRun)
{
    kivera_test::PluginSession session;
    struct Case {
        const char* name;
        std::vector<int> second;   // in terms of p a b e q r = 0..5, and x = 6
    };
    const Case cases[] = {
        // Holds a twice and b not at all: counting up to b would never end.
        {"a twice", {1, 6, 1, 5}},
        {"b twice", {2, 6, 2, 5}},
        {"turned the same way", {6, 1, 2, 4}},
        {"diagonal", {1, 5, 2, 4}},
        {"two points", {2, 1}},
        {"five points", {4, 2, 1, 5, 6}},
        // x lies on the line: no normal to measure an angle with.
        {"collinear triangle", {6, 2, 1}},
    };
    for (const Case& c : cases) {
        host::Document doc;
        host::Object& obj = NewObject(doc);
        Vertex(obj, 0, 1, 0);
        Vertex(obj, 1, 1, 0);
        Vertex(obj, 1, 1, 1);
        Vertex(obj, 0, 1, 1);
        Vertex(obj, 1, 0, 1);
        Vertex(obj, 1, 0, 0);
        Vertex(obj, 1, 1, 0.5f);
        Face(obj, {0, 1, 2, 3});
        Face(obj, c.second);
        host::SelectLine(obj, 0, 1);
        const auto before = Shape(obj);

        EXPECT_EQ(session.Run(kBevelRow, doc), 1) << c.name;
        EXPECT_EQ(Shape(obj), before) << c.name;
    }
}

TEST(Bevel, BadVertexIndexOrPositionAddsNothing)
{
    kivera_test::PluginSession session;
    {
        host::Document doc;
        host::Object& obj = NewObject(doc);
        const CubeEdge cube = AddCubeEdge(obj);
        obj.faces[cube.g].points[0] = -7;   // q names no vertex
        host::SelectLine(obj, cube.f, 1);
        const auto before = Shape(obj);
        EXPECT_EQ(session.Run(kBevelRow, doc), 1);
        EXPECT_EQ(Shape(obj), before);
        obj.faces[cube.g].points[0] = 4;
    }
    {
        host::Document doc;
        host::Object& obj = NewObject(doc);
        const CubeEdge cube = AddCubeEdge(obj);
        obj.vertices[5].z = std::numeric_limits<float>::quiet_NaN();   // r
        host::SelectLine(obj, cube.f, 1);
        const auto before = Shape(obj);
        EXPECT_EQ(session.Run(kBevelRow, doc), 1);
        EXPECT_EQ(Shape(obj), before);
    }
}

}  // namespace
