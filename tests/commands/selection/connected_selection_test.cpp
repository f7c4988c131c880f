// Connected points and the edges of selected points, run through
// MQModifySelect of the real module against the stand-in host.
#include <gtest/gtest.h>

#include <string>

#include "tests/commands/selection/selection_fixtures.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {


namespace {

TEST(SelectConnectedPoints, SelectsTheWholePieceOfTheSeedWithinItsObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& cubes = NewObject(doc);
    AddCube(cubes);
    AddCube(cubes);
    const int loose = host::AddVertex(cubes, {9.0f, 9.0f, 9.0f});   // no face uses it
    host::SelectVertex(cubes, 6);
    host::SelectVertex(cubes, loose);
    host::AddEmptyObjectSlot(doc);
    host::Object& other = NewObject(doc);
    AddCube(other);

    EXPECT_EQ(session.Run(kSelectConnected, doc), 1);
    EXPECT_EQ(SelectedVertices(cubes), (Ints{0, 1, 2, 3, 4, 5, 6, 7, loose}));
    EXPECT_TRUE(SelectedVertices(other).empty());
    EXPECT_TRUE(SelectedLines(cubes).empty() && SelectedFaces(cubes).empty());
}

TEST(SelectConnectedPoints, RingOfSelectedLinesWallsInTheFlood)
{
    kivera_test::PluginSession session;
    for (int seed : {12, 0}) {   // inside the ring, outside it
        host::Document doc;
        host::Object& obj = NewObject(doc);
        AddGrid(obj);
        // The ring 6-7-8-13-18-17-16-11 around vertex 12, as (face, line).
        for (auto [face, line] : Lines{{5, 0}, {6, 0}, {6, 1}, {10, 1}, {10, 2}, {9, 2},
                                       {9, 3}, {5, 3}})
            host::SelectLine(obj, face, line);
        host::SelectVertex(obj, seed);

        EXPECT_EQ(session.Run(kSelectConnected, doc), 1);
        Ints expected = {6, 7, 8, 11, 12, 13, 16, 17, 18};
        if (seed == 0) {
            expected = Range(25);
            expected.erase(expected.begin() + 12);
        }
        EXPECT_EQ(SelectedVertices(obj), expected) << "seed " << seed;
    }
}

TEST(SelectConnectedPoints, SelectedFaceIsAWallEvenForASeedOnIt)
{
    kivera_test::PluginSession session;
    for (bool seedOnFace : {false, true}) {
        host::Document doc;
        host::Object& obj = NewObject(doc);
        AddStrip(obj);
        host::SelectFace(obj, 1);
        if (seedOnFace)
            host::SelectVertex(obj, 2);
        EXPECT_EQ(session.Run(kSelectConnected, doc), 1);
        EXPECT_EQ(SelectedVertices(obj), (Ints{1, 2, 5, 6}));
    }
}

TEST(SelectConnectedPoints, FloodPassesAFanCentreWithTwoHundredNeighbours)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddLineFan(obj, 200);
    host::SelectVertex(obj, 1);   // a leaf: the others lie only beyond the centre

    EXPECT_EQ(session.Run(kSelectConnected, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), Range(201));
}

TEST(SelectConnectedPoints, IgnoresFacesTooLargeAndPointsOutsideTheObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddMesh(obj, 10, {{0, 1, 2, 3, 4}, {0, 5, 6}, {6, 7, 8, 9}});
    obj.faces[2].points[2] = 1000;
    host::SelectFace(obj, 2);   // a wall holding that point
    host::SelectVertex(obj, 0);

    EXPECT_EQ(session.Run(kSelectConnected, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{0, 5, 6, 7, 9}));
}

TEST(SelectEdgesOfSelectedPoints, TriangleLinesAndFace)
{
    kivera_test::PluginSession session;
    struct Case {
        Ints vertices;
        Lines linesBefore, linesAfter;
        bool face;
    };
    const Case cases[] = {
        {{0, 1}, {}, {{0, 0}}, false},
        {{0, 1, 2}, {}, {{0, 0}, {0, 1}, {0, 2}}, true},
        {{0, 2}, {{0, 0}, {0, 1}}, {{0, 0}, {0, 1}, {0, 2}}, true},   // earlier lines count
    };
    for (const Case& c : cases) {
        host::Document doc;
        host::Object& obj = NewObject(doc);
        AddMesh(obj, 3, {{0, 1, 2}});
        for (int v : c.vertices)
            host::SelectVertex(obj, v);
        for (auto [face, line] : c.linesBefore)
            host::SelectLine(obj, face, line);
        EXPECT_EQ(session.Run(kSelectEdges, doc), 1);
        EXPECT_EQ(SelectedLines(obj), c.linesAfter);
        EXPECT_EQ(SelectedFaces(obj), c.face ? Ints{0} : Ints{});
        EXPECT_EQ(SelectedVertices(obj), c.vertices);
    }
}

TEST(SelectEdgesOfSelectedPoints, SharedLineIsSelectedInEachFaceAndObjectsStayApart)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddStrip(obj);
    host::DeleteFace(obj, 0);   // an empty face slot
    host::SelectVertex(obj, 2);
    host::SelectVertex(obj, 6);
    host::AddEmptyObjectSlot(doc);
    host::Object& other = NewObject(doc);
    AddStrip(other);

    EXPECT_EQ(session.Run(kSelectEdges, doc), 1);
    // 2-6 is line 1 of face 1-2-6-5 and line 3 of face 2-3-7-6.
    EXPECT_EQ(SelectedLines(obj), (Lines{{1, 1}, {2, 3}}));
    EXPECT_TRUE(SelectedFaces(obj).empty() && SelectedLines(other).empty());
}

TEST(SelectEdgesOfSelectedPoints, IgnoresFacesTooLargeAndPointsOutsideTheObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddMesh(obj, 5, {{0, 1, 2, 3, 4}, {0, 1, 2, 3}});
    obj.faces[1].points[3] = 50;
    for (int v = 0; v < 5; ++v)
        host::SelectVertex(obj, v);

    EXPECT_EQ(session.Run(kSelectEdges, doc), 1);
    EXPECT_EQ(SelectedLines(obj), (Lines{{1, 0}, {1, 1}}));
    EXPECT_TRUE(SelectedFaces(obj).empty());
}

// The second end of a line is asked about only when the first is selected,
// and the lines are counted only after all of them were tested.
TEST(SelectEdgesOfSelectedPoints, AsksTheHostInOrder)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddMesh(obj, 3, {{0, 1, 2}});
    host::SelectVertex(obj, 1);
    host::SelectVertex(obj, 2);

    host::StartTrace();
    EXPECT_EQ(session.Run(kSelectEdges, doc), 1);
    std::string calls;
    for (const host::Call& call : host::StopTrace()) {
        if (call.name.find("Select") == std::string::npos)
            continue;
        calls += call.name.substr(6);
        for (long long arg : call.args)
            calls += " " + std::to_string(arg);
        calls += "; ";
    }
    EXPECT_EQ(calls, "IsSelectVertex 0 0; "
                     "IsSelectVertex 0 1; IsSelectVertex 0 2; AddSelectLine 0 0 1; "
                     "IsSelectVertex 0 2; IsSelectVertex 0 0; "
                     "IsSelectLine 0 0 0; IsSelectLine 0 0 1; IsSelectLine 0 0 2; ");
}

}  // namespace

}  // namespace kivera_test
