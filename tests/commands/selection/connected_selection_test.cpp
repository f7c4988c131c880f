// Connected points and the edges of selected points, run through
// MQModifySelect of the real module against the stand-in host.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/commands/selection/selection_fixtures.h"
#include "tests/support/plugin_session.h"

using namespace selection_test;
using Ints = std::vector<int>;
using Lines = std::vector<std::pair<int, int>>;

namespace {

TEST(SelectConnectedPoints, SelectsTheWholePieceOfTheSeedOnly)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddCube(obj, 0.0f);
    AddCube(obj, 5.0f);
    host::SelectVertex(obj, 6);

    EXPECT_EQ(session.Run(kSelectConnectedPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(SelectedLines(obj).empty());
    EXPECT_TRUE(SelectedFaces(obj).empty());
}

// A 4 x 4 grid (vertex r * 5 + c) with the lines of the ring around the
// centre vertex 12 selected: the ring is 6, 7, 8, 13, 18, 17, 16, 11.
static void SelectRingAroundCentre(host::Object& obj)
{
    const int ring[] = {6, 7, 8, 13, 18, 17, 16, 11};
    for (int i = 0; i < 8; ++i)
        SelectEdge(obj, ring[i], ring[(i + 1) % 8]);
}

TEST(SelectConnectedPoints, RingOfSelectedLinesWallsInTheFlood)
{
    kivera_test::PluginSession session;
    const Ints ring = {6, 7, 8, 11, 13, 16, 17, 18};

    host::Document inside;
    host::Object& in = NewObject(inside);
    AddGrid(in, 4, 4);
    SelectRingAroundCentre(in);
    host::SelectVertex(in, 12);
    EXPECT_EQ(session.Run(kSelectConnectedPointsRow, inside), 1);
    EXPECT_EQ(SelectedVertices(in), (Ints{6, 7, 8, 11, 12, 13, 16, 17, 18}));

    host::Document outside;
    host::Object& out = NewObject(outside);
    AddGrid(out, 4, 4);
    SelectRingAroundCentre(out);
    host::SelectVertex(out, 0);
    EXPECT_EQ(session.Run(kSelectConnectedPointsRow, outside), 1);
    EXPECT_EQ(SelectedVertices(out), AllVerticesBut(25, {12}));
}

TEST(SelectConnectedPoints, SelectedFaceIsAWallEvenForASeedOnIt)
{
    kivera_test::PluginSession session;

    host::Document faceOnly;
    host::Object& a = NewObject(faceOnly);
    AddStrip(a);
    host::SelectFace(a, 1);
    EXPECT_EQ(session.Run(kSelectConnectedPointsRow, faceOnly), 1);
    EXPECT_EQ(SelectedVertices(a), (Ints{1, 2, 5, 6}));

    host::Document seedOnFace;
    host::Object& b = NewObject(seedOnFace);
    AddStrip(b);
    host::SelectFace(b, 0);
    host::SelectVertex(b, 0);
    EXPECT_EQ(session.Run(kSelectConnectedPointsRow, seedOnFace), 1);
    EXPECT_EQ(SelectedVertices(b), (Ints{0, 1, 4, 5}));
}

TEST(SelectConnectedPoints, ObjectsNeverLeakIntoEachOther)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& first = NewObject(doc, "first");
    AddGrid(first, 2, 2);
    const int loose = host::AddVertex(first, {9.0f, 9.0f, 9.0f});   // no face uses it
    host::SelectVertex(first, loose);
    host::AddEmptyObjectSlot(doc);
    host::Object& second = NewObject(doc, "second");
    AddGrid(second, 2, 2);
    host::SelectVertex(second, 4);
    host::Object& third = NewObject(doc, "third");
    AddGrid(third, 2, 2);

    EXPECT_EQ(session.Run(kSelectConnectedPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(first), (Ints{loose}));
    EXPECT_EQ(SelectedVertices(second), AllVerticesBut(9, {}));
    EXPECT_EQ(SelectedVertices(third), Ints{});
}

TEST(SelectConnectedPoints, FloodPassesAFanCentreWithTwoHundredNeighbours)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddLineFan(obj, 200);
    host::SelectVertex(obj, 1);   // a leaf: the others lie only beyond the centre

    EXPECT_EQ(session.Run(kSelectConnectedPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), AllVerticesBut(201, {}));
}

TEST(SelectConnectedPoints, IgnoresFacesItCannotHoldAndPointsOutsideTheObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    for (int i = 0; i < 10; ++i)
        host::AddVertex(obj, {static_cast<float>(i), 0.0f, 0.0f});
    AddFaceChecked(obj, {0, 1, 2, 3, 4});   // five points: no path through it
    AddFaceChecked(obj, {0, 5, 6});
    AddFaceChecked(obj, {6, 7, 8, 9});
    obj.faces[2].points[2] = 1000;   // names a vertex the object does not have
    host::SelectFace(obj, 2);        // a wall holding that point
    host::SelectVertex(obj, 0);

    EXPECT_EQ(session.Run(kSelectConnectedPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{0, 5, 6, 7, 9}));
}

// Triangle 0-1-2 alone in an object.
static host::Object& AddTriangle(host::Document& doc)
{
    host::Object& obj = NewObject(doc);
    for (int i = 0; i < 3; ++i)
        host::AddVertex(obj, {static_cast<float>(i), static_cast<float>(i % 2), 0.0f});
    AddFaceChecked(obj, {0, 1, 2});
    return obj;
}

TEST(SelectEdgesOfSelectedPoints, TriangleLinesAndFace)
{
    kivera_test::PluginSession session;

    host::Document two;
    host::Object& a = AddTriangle(two);
    host::SelectVertex(a, 0);
    host::SelectVertex(a, 1);
    EXPECT_EQ(session.Run(kSelectEdgesOfSelectedPointsRow, two), 1);
    EXPECT_EQ(SelectedLines(a), (Lines{{0, 0}}));
    EXPECT_TRUE(SelectedFaces(a).empty());

    host::Document all;
    host::Object& b = AddTriangle(all);
    for (int v = 0; v < 3; ++v)
        host::SelectVertex(b, v);
    EXPECT_EQ(session.Run(kSelectEdgesOfSelectedPointsRow, all), 1);
    EXPECT_EQ(SelectedLines(b), (Lines{{0, 0}, {0, 1}, {0, 2}}));
    EXPECT_EQ(SelectedFaces(b), (Ints{0}));
    EXPECT_EQ(SelectedVertices(b), (Ints{0, 1, 2}));
}

TEST(SelectEdgesOfSelectedPoints, LinesSelectedBeforeCountTowardsTheFace)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = AddTriangle(doc);
    host::SelectLine(obj, 0, 0);
    host::SelectLine(obj, 0, 1);
    host::SelectVertex(obj, 0);
    host::SelectVertex(obj, 2);

    EXPECT_EQ(session.Run(kSelectEdgesOfSelectedPointsRow, doc), 1);
    EXPECT_EQ(SelectedLines(obj), (Lines{{0, 0}, {0, 1}, {0, 2}}));
    EXPECT_EQ(SelectedFaces(obj), (Ints{0}));
}

TEST(SelectEdgesOfSelectedPoints, SharedLineIsSelectedInEachFaceAndObjectsStayApart)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& first = NewObject(doc, "first");
    AddStrip(first);
    host::DeleteFace(first, 0);   // an empty face slot
    host::SelectVertex(first, 2);
    host::SelectVertex(first, 6);
    host::AddEmptyObjectSlot(doc);
    host::Object& second = NewObject(doc, "second");
    AddStrip(second);

    EXPECT_EQ(session.Run(kSelectEdgesOfSelectedPointsRow, doc), 1);
    // 2-6 is line 1 of face 1-2-6-5 and line 3 of face 2-3-7-6.
    EXPECT_EQ(SelectedLines(first), (Lines{{1, 1}, {2, 3}}));
    EXPECT_TRUE(SelectedFaces(first).empty());
    EXPECT_TRUE(SelectedLines(second).empty());
}

TEST(SelectEdgesOfSelectedPoints, IgnoresFacesItCannotHoldAndPointsOutsideTheObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    for (int i = 0; i < 5; ++i)
        host::AddVertex(obj, {static_cast<float>(i), 0.0f, 0.0f});
    AddFaceChecked(obj, {0, 1, 2, 3, 4});   // five points: treated as absent
    AddFaceChecked(obj, {0, 1, 2, 3});
    obj.faces[1].points[3] = 50;   // names a vertex the object does not have
    for (int v = 0; v < 5; ++v)
        host::SelectVertex(obj, v);

    EXPECT_EQ(session.Run(kSelectEdgesOfSelectedPointsRow, doc), 1);
    EXPECT_EQ(SelectedLines(obj), (Lines{{1, 0}, {1, 1}}));
    EXPECT_TRUE(SelectedFaces(obj).empty());
}

// The second end of a line is asked about only when the first is selected,
// and the face is tested only after all its lines were.
TEST(SelectEdgesOfSelectedPoints, AsksTheHostInOrder)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = AddTriangle(doc);
    host::SelectVertex(obj, 1);
    host::SelectVertex(obj, 2);

    host::StartTrace();
    EXPECT_EQ(session.Run(kSelectEdgesOfSelectedPointsRow, doc), 1);
    std::vector<std::string> calls;
    for (const host::Call& call : host::StopTrace()) {
        if (call.name.rfind("MQDoc_", 0) != 0 || call.name == "MQDoc_GetObjectCount" ||
            call.name == "MQDoc_GetObject")
            continue;
        std::string text = call.name;
        for (long long arg : call.args)
            text += " " + std::to_string(arg);
        calls.push_back(text);
    }
    const std::vector<std::string> expected = {
        "MQDoc_IsSelectVertex 0 0",                     // line 0: 0 unselected
        "MQDoc_IsSelectVertex 0 1", "MQDoc_IsSelectVertex 0 2",
        "MQDoc_AddSelectLine 0 0 1",                    // line 1
        "MQDoc_IsSelectVertex 0 2", "MQDoc_IsSelectVertex 0 0",   // line 2
        "MQDoc_IsSelectLine 0 0 0", "MQDoc_IsSelectLine 0 0 1", "MQDoc_IsSelectLine 0 0 2"};
    EXPECT_EQ(calls, expected);
}

}  // namespace
