// Align selected points: other objects brought rigidly onto the mean of the
// current object's selection, run through MQModifySelect of the real module.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/commands/placement/placement_test_support.h"
#include "tests/support/plugin_session.h"

using namespace placement_test;
using kivera_test::PluginSession;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(AlignSelectedPoints, OtherObjectMovesWholeOntoTheCurrentSelectionsMean)
{
    PluginSession session;
    host::Document doc;
    host::Object& current = NewObject(doc, "current");
    AddUsedPoints(current, {{0, 0, 0}, {2, 0, 0}, {8, 8, 8}}, {1, 1, 0});
    host::Object& other = NewObject(doc, "other");
    AddUsedPoints(other, {{5, 5, 5}, {6, 5, 5}}, {1, 0});
    const int loose = AddUnusedSelectedPoint(other, {9, 9, 9});
    doc.currentObject = 0;

    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 1);

    EXPECT_TRUE(At(other, 0, {1, 0, 0}));
    EXPECT_TRUE(At(other, 1, {2, 0, 0}));
    EXPECT_TRUE(At(other, loose, {9, 9, 9}));   // used by no face: not written
    EXPECT_TRUE(At(current, 0, {0, 0, 0}));
    EXPECT_TRUE(At(current, 1, {2, 0, 0}));
    EXPECT_TRUE(At(current, 2, {8, 8, 8}));
}

TEST(AlignSelectedPoints, ObjectsOnBothSidesOfTheCurrentOneMoveByTheirOwnMeans)
{
    PluginSession session;
    host::Document doc;
    host::Object& before = NewObject(doc, "before");
    AddUsedPoints(before, {{1, 1, 1}, {3, 3, 3}, {0, 0, 0}}, {1, 1, 0});   // mean (2, 2, 2)
    host::AddEmptyObjectSlot(doc);
    host::Object& current = NewObject(doc, "current");
    AddUsedPoints(current, {{10, 20, 30}, {0, 0, 0}}, {1, 0});
    host::Object& unselected = NewObject(doc, "unselected");
    AddUsedPoints(unselected, {{4, 4, 4}, {5, 5, 5}}, {0, 0});
    host::Object& after = NewObject(doc, "after");
    AddUsedPoints(after, {{-1, 0, 0}, {1, 0, 0}}, {1, 1});   // mean (0, 0, 0)
    doc.currentObject = 2;

    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 1);

    EXPECT_TRUE(At(before, 0, {9, 19, 29}));
    EXPECT_TRUE(At(before, 2, {8, 18, 28}));
    EXPECT_TRUE(At(after, 0, {9, 20, 30}));
    EXPECT_TRUE(At(after, 1, {11, 20, 30}));
    EXPECT_TRUE(At(unselected, 0, {4, 4, 4}));
    EXPECT_TRUE(At(current, 0, {10, 20, 30}));
    EXPECT_TRUE(At(current, 1, {0, 0, 0}));
}

TEST(AlignSelectedPoints, ReturnsZeroAndChangesNothingWithoutACurrentSelection)
{
    PluginSession session;
    host::Document doc;
    AddUsedPoints(NewObject(doc, "current"), {{0, 0, 0}, {1, 1, 1}}, {0, 0});
    host::Object& current = *doc.objects[0];
    AddUnusedSelectedPoint(current, {2, 2, 2});   // selected but used by no face
    AddUsedPoints(NewObject(doc, "other"), {{5, 5, 5}, {6, 6, 6}}, {1, 1});
    host::AddEmptyObjectSlot(doc);
    const auto before = Positions(doc);

    doc.currentObject = 0;
    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 0);
    doc.currentObject = 2;   // an empty slot
    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 0);
    doc.currentObject = 17;   // no object at all
    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 0);
    EXPECT_EQ(Positions(doc), before);
}

TEST(AlignSelectedPoints, SelectionOnlyInTheCurrentObjectChangesNothing)
{
    PluginSession session;
    host::Document doc;
    AddUsedPoints(NewObject(doc, "current"), {{0, 0, 0}, {1, 1, 1}}, {1, 1});
    AddUsedPoints(NewObject(doc, "other"), {{5, 5, 5}, {6, 6, 6}}, {0, 0});
    const auto before = Positions(doc);
    doc.currentObject = 0;

    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 1);
    EXPECT_EQ(Positions(doc), before);
}

TEST(AlignSelectedPoints, NaNPositionsTakeNoPartInTheMeans)
{
    PluginSession session;
    host::Document doc;
    host::Object& current = NewObject(doc, "current");
    AddUsedPoints(current, {{kNaN, 0, 0}, {4, 4, 4}}, {1, 1});
    host::Object& other = NewObject(doc, "other");
    AddUsedPoints(other, {{1, 1, 1}, {0, kNaN, 0}, {2, 2, 2}}, {1, 1, 0});
    host::Object& broken = NewObject(doc, "only NaN selected");
    AddUsedPoints(broken, {{kNaN, kNaN, kNaN}, {7, 7, 7}}, {1, 0});
    doc.currentObject = 0;

    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 1);

    // Target (4, 4, 4); the other object's mean is (1, 1, 1): moved by +3.
    EXPECT_TRUE(At(other, 0, {4, 4, 4}));
    EXPECT_TRUE(At(other, 2, {5, 5, 5}));
    EXPECT_EQ(other.vertices[1].x, 3.0f);   // moved with its object, NaN kept
    EXPECT_TRUE(std::isnan(other.vertices[1].y));
    EXPECT_TRUE(At(broken, 1, {7, 7, 7}));

    // A current selection of nothing but NaN has no mean.
    host::Document lost;
    AddUsedPoints(NewObject(lost, "current"), {{kNaN, 1, 1}, {0, 0, 0}}, {1, 0});
    AddUsedPoints(NewObject(lost, "other"), {{5, 5, 5}, {6, 6, 6}}, {1, 1});
    lost.currentObject = 0;
    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, lost), 0);
    EXPECT_TRUE(At(*lost.objects[1], 0, {5, 5, 5}));
}

}  // namespace
