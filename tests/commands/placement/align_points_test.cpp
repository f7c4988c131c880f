// Align selected points: other objects brought rigidly onto the mean of the
// current object's selection, run through MQModifySelect of the real module.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/commands/placement/placement_test_support.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {


namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(AlignSelectedPoints, OtherObjectsMoveWholeOntoTheCurrentSelectionsMean)
{
    PluginSession session;
    host::Document doc;
    host::Object& before = AddObjectWith(doc, {{1, 1, 1}, {3, 3, 3}, {0, 0, 0}}, {1, 1, 0});
    host::AddEmptyObjectSlot(doc);
    host::Object& current = AddObjectWith(doc, {{0, 0, 0}, {2, 0, 0}, {8, 8, 8}}, {1, 1, 0});
    host::Object& other = AddObjectWith(doc, {{5, 5, 5}, {6, 5, 5}}, {1, 0});
    const int loose = AddUnusedSelectedPoint(other, {9, 9, 9});
    host::Object& unselected = AddObjectWith(doc, {{4, 4, 4}, {5, 5, 5}}, {0, 0});
    doc.currentObject = 2;

    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 1);

    // Target (1, 0, 0): `other` by (-4, -5, -5), `before` (mean (2, 2, 2)) by (-1, -2, -2).
    EXPECT_TRUE(At(other, 0, {1, 0, 0}));
    EXPECT_TRUE(At(other, 1, {2, 0, 0}));
    EXPECT_TRUE(At(other, loose, {9, 9, 9}));   // used by no face: not written
    EXPECT_TRUE(At(before, 0, {0, -1, -1}));
    EXPECT_TRUE(At(before, 2, {-1, -2, -2}));
    EXPECT_TRUE(At(current, 0, {0, 0, 0}));
    EXPECT_TRUE(At(current, 2, {8, 8, 8}));
    EXPECT_TRUE(At(unselected, 0, {4, 4, 4}));
}

TEST(AlignSelectedPoints, WithoutACurrentSelectionReturnsZeroAndChangesNothing)
{
    PluginSession session;
    host::Document doc;
    host::Object& current = AddObjectWith(doc, {{0, 0, 0}, {1, 1, 1}}, {0, 0});
    AddUnusedSelectedPoint(current, {2, 2, 2});
    AddObjectWith(doc, {{5, 5, 5}, {6, 6, 6}}, {1, 1});
    host::AddEmptyObjectSlot(doc);
    AddObjectWith(doc, {{kNaN, 1, 1}, {0, 0, 0}}, {1, 0});   // a selection with no mean
    const auto before = Positions(doc);

    for (int index : {0, 2, 3, 17}) {
        doc.currentObject = index;
        EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 0) << index;
    }
    // Selection only in the current object: it ran, and nothing moves.
    doc.currentObject = 1;
    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 1);
    const auto after = Positions(doc);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_TRUE(after[i] == before[i] || (std::isnan(after[i]) && std::isnan(before[i]))) << i;
}

TEST(AlignSelectedPoints, NaNPositionsTakeNoPartInTheMeans)
{
    PluginSession session;
    host::Document doc;
    AddObjectWith(doc, {{kNaN, 0, 0}, {4, 4, 4}}, {1, 1});
    host::Object& other = AddObjectWith(doc, {{1, 1, 1}, {0, kNaN, 0}, {2, 2, 2}}, {1, 1, 0});
    host::Object& broken = AddObjectWith(doc, {{kNaN, kNaN, kNaN}, {7, 7, 7}}, {1, 0});
    doc.currentObject = 0;

    EXPECT_EQ(session.Run(kAlignSelectedPointsRow, doc), 1);

    // Target (4, 4, 4), the other mean (1, 1, 1): moved by +3, NaN coordinate kept.
    EXPECT_TRUE(At(other, 0, {4, 4, 4}));
    EXPECT_TRUE(At(other, 2, {5, 5, 5}));
    EXPECT_EQ(other.vertices[1].x, 3.0f);
    EXPECT_TRUE(std::isnan(other.vertices[1].y));
    EXPECT_TRUE(At(broken, 1, {7, 7, 7}));
}

}  // namespace

}  // namespace kivera_test
