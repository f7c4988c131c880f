// Select points, deselect, and the one-ring growth, run through MQModifySelect
// of the real module against the stand-in host.
#include <gtest/gtest.h>

#include <vector>

#include "tests/commands/selection/selection_fixtures.h"
#include "tests/support/plugin_session.h"

using namespace selection_test;
using Ints = std::vector<int>;

namespace {

TEST(SelectPoints, SelectedFaceSelectsAllItsPointsAndSelectedLineItsTwoEnds)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    for (int i = 0; i < 10; ++i)
        host::AddVertex(obj, {static_cast<float>(i), 0.0f, 0.0f});
    AddFaceChecked(obj, {0, 1, 2, 3});
    AddFaceChecked(obj, {4, 5, 6, 7});
    host::SelectFace(obj, 0);
    host::SelectLine(obj, 1, 3);   // joins points 3 and 0 of the face: 7 and 4
    host::SelectVertex(obj, 9);

    EXPECT_EQ(session.Run(kSelectPointsRow, doc), 1);

    EXPECT_EQ(SelectedVertices(obj), (Ints{0, 1, 2, 3, 4, 7, 9}));
    // Only added to: the line and face selection is as it was.
    EXPECT_EQ(SelectedFaces(obj), (Ints{0}));
    EXPECT_EQ(SelectedLines(obj), (std::vector<std::pair<int, int>>{{1, 3}}));
}

TEST(SelectPoints, VertexSelectionAloneChangesNothing)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddStrip(obj);
    host::SelectVertex(obj, 5);

    EXPECT_EQ(session.Run(kSelectPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{5}));
}

TEST(SelectPoints, WorksInEveryObjectAndSkipsEmptySlots)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& first = NewObject(doc, "first");
    AddStrip(first);
    host::AddEmptyObjectSlot(doc);
    host::Object& third = NewObject(doc, "third");
    AddStrip(third);
    host::DeleteFace(third, 0);   // an empty face slot before the selected one
    host::SelectFace(third, 2);

    EXPECT_EQ(session.Run(kSelectPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(first), Ints{});
    EXPECT_EQ(SelectedVertices(third), (Ints{2, 3, 6, 7}));
}

TEST(SelectPoints, FacesTheCommandCannotHoldSelectNothingOutsideTheObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    for (int i = 0; i < 9; ++i)
        host::AddVertex(obj, {static_cast<float>(i), 0.0f, 0.0f});
    AddFaceChecked(obj, {0, 1, 2, 3, 4});   // five points: treated as absent
    AddFaceChecked(obj, {5, 6, 7, 8});
    obj.faces[1].points[2] = 99;   // names a vertex the object does not have
    host::SelectFace(obj, 0);
    host::SelectFace(obj, 1);

    EXPECT_EQ(session.Run(kSelectPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{5, 6, 8}));
}

TEST(Deselect, EachCommandClearsOnlyItsKindInEveryObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& a = NewObject(doc, "a");
    host::Object& b = NewObject(doc, "b");
    for (host::Object* obj : {&a, &b}) {
        AddStrip(*obj);
        host::SelectVertex(*obj, 0);
        host::SelectVertex(*obj, 6);
        host::SelectLine(*obj, 1, 2);
        host::SelectFace(*obj, 2);
    }

    EXPECT_EQ(session.Run(kDeselectEdgesAndFacesRow, doc), 1);
    for (host::Object* obj : {&a, &b}) {
        EXPECT_EQ(SelectedVertices(*obj), (Ints{0, 6}));
        EXPECT_TRUE(SelectedLines(*obj).empty());
        EXPECT_TRUE(SelectedFaces(*obj).empty());
    }

    host::SelectLine(b, 0, 0);
    host::SelectFace(b, 1);
    EXPECT_EQ(session.Run(kDeselectPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(a), Ints{});
    EXPECT_EQ(SelectedVertices(b), Ints{});
    EXPECT_EQ(SelectedLines(b), (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(SelectedFaces(b), (Ints{1}));
}

TEST(SelectNeighbourPoints, GrowsOneRingOfSideNeighboursPerRun)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddStrip(obj);
    host::SelectVertex(obj, 0);

    EXPECT_EQ(session.Run(kSelectNeighbourPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{0, 1, 4}));   // not 5, the diagonal corner
    EXPECT_EQ(session.Run(kSelectNeighbourPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{0, 1, 2, 4, 5}));
}

TEST(SelectNeighbourPoints, UnusedVertexAndOtherObjectsGainNothing)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& first = NewObject(doc, "first");
    AddStrip(first);
    const int loose = host::AddVertex(first, {9.0f, 9.0f, 9.0f});   // no face uses it
    host::SelectVertex(first, loose);
    host::SelectVertex(first, 3);
    host::AddEmptyObjectSlot(doc);
    host::Object& other = NewObject(doc, "other");
    AddStrip(other);

    EXPECT_EQ(session.Run(kSelectNeighbourPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(first), (Ints{2, 3, 7, loose}));
    EXPECT_EQ(SelectedVertices(other), Ints{});
}

TEST(SelectNeighbourPoints, ReachesAllTwoHundredNeighboursOfAFanCentre)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddLineFan(obj, 200);
    host::SelectVertex(obj, 0);

    EXPECT_EQ(session.Run(kSelectNeighbourPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), AllVerticesBut(201, {}));
}

TEST(SelectNeighbourPoints, IgnoresFacesItCannotHoldAndPointsOutsideTheObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    for (int i = 0; i < 9; ++i)
        host::AddVertex(obj, {static_cast<float>(i), 0.0f, 0.0f});
    AddFaceChecked(obj, {0, 1, 2, 3, 4});   // five points: treated as absent
    AddFaceChecked(obj, {0, 5, 6, 7});
    AddFaceChecked(obj, {0, 8});
    obj.faces[1].points[1] = -7;   // names a vertex the object does not have
    host::SelectVertex(obj, 0);

    EXPECT_EQ(session.Run(kSelectNeighbourPointsRow, doc), 1);
    EXPECT_EQ(SelectedVertices(obj), (Ints{0, 7, 8}));
}

}  // namespace
