// Select points, deselect, and the one-ring growth, run through MQModifySelect
// of the real module against the stand-in host.
#include <gtest/gtest.h>

#include "tests/commands/selection/selection_fixtures.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {


namespace {

TEST(SelectPoints, SelectedFaceGivesAllItsPointsAndSelectedLineItsTwoEnds)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& first = NewObject(doc);
    AddMesh(first, 10, {{0, 1, 2, 3}, {4, 5, 6, 7}});
    host::SelectFace(first, 0);
    host::SelectLine(first, 1, 3);   // joins points 3 and 0 of the face: 7 and 4
    host::SelectVertex(first, 9);
    host::AddEmptyObjectSlot(doc);
    host::Object& third = NewObject(doc);
    AddStrip(third);
    host::DeleteFace(third, 0);   // an empty face slot
    host::SelectFace(third, 2);

    EXPECT_EQ(session.Run(kSelectPoints, doc), 1);
    EXPECT_EQ(SelectedVertices(first), (Ints{0, 1, 2, 3, 4, 7, 9}));
    EXPECT_EQ(SelectedVertices(third), (Ints{2, 3, 6, 7}));
    // Only added to: lines and faces stay as they were.
    EXPECT_EQ(SelectedFaces(first), Ints{0});
    EXPECT_EQ(SelectedLines(first), (Lines{{1, 3}}));
}

TEST(SelectPoints, SelectsNothingOfFacesTooLargeOrPointsOutsideTheObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddMesh(obj, 9, {{0, 1, 2, 3, 4}, {5, 6, 7, 8}});
    obj.faces[1].points[2] = 99;
    host::SelectFace(obj, 0);
    host::SelectFace(obj, 1);

    EXPECT_EQ(session.Run(kSelectPoints, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{5, 6, 8}));
}

TEST(Deselect, EachCommandClearsOnlyItsKindInEveryObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& a = NewObject(doc);
    host::Object& b = NewObject(doc);
    for (host::Object* obj : {&a, &b}) {
        AddStrip(*obj);
        host::SelectVertex(*obj, 6);
        host::SelectLine(*obj, 1, 2);
        host::SelectFace(*obj, 2);
    }

    EXPECT_EQ(session.Run(kDeselectEdgesAndFaces, doc), 1);
    for (host::Object* obj : {&a, &b}) {
        EXPECT_EQ(SelectedVertices(*obj), Ints{6});
        EXPECT_TRUE(SelectedLines(*obj).empty() && SelectedFaces(*obj).empty());
    }

    host::SelectLine(b, 0, 0);
    host::SelectFace(b, 1);
    EXPECT_EQ(session.Run(kDeselectPoints, doc), 1);
    EXPECT_TRUE(SelectedVertices(a).empty() && SelectedVertices(b).empty());
    EXPECT_EQ(SelectedLines(b), (Lines{{0, 0}}));
    EXPECT_EQ(SelectedFaces(b), Ints{1});
}

TEST(SelectNeighbourPoints, GrowsOneRingPerRunWithinItsObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddStrip(obj);
    const int loose = host::AddVertex(obj, {9.0f, 9.0f, 9.0f});   // no face uses it
    host::SelectVertex(obj, 0);
    host::SelectVertex(obj, loose);
    host::AddEmptyObjectSlot(doc);
    host::Object& other = NewObject(doc);
    AddStrip(other);

    EXPECT_EQ(session.Run(kSelectNeighbours, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{0, 1, 4, loose}));   // not 5, the diagonal corner
    EXPECT_EQ(session.Run(kSelectNeighbours, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{0, 1, 2, 4, 5, loose}));
    EXPECT_TRUE(SelectedVertices(other).empty());
}

TEST(SelectNeighbourPoints, ReachesAllTwoHundredNeighboursOfAFanCentre)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddLineFan(obj, 200);
    host::SelectVertex(obj, 0);

    EXPECT_EQ(session.Run(kSelectNeighbours, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), Range(201));
}

TEST(SelectNeighbourPoints, IgnoresFacesTooLargeAndPointsOutsideTheObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddMesh(obj, 9, {{0, 1, 2, 3, 4}, {0, 5, 6, 7}, {0, 8}});
    obj.faces[1].points[1] = -7;
    host::SelectVertex(obj, 0);

    EXPECT_EQ(session.Run(kSelectNeighbours, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{0, 7, 8}));
}

}  // namespace

}  // namespace kivera_test
