// Rotate by view: selected vertices turned by the view matrix's orientation
// part with z negated, run through MQModifySelect of the real module.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/commands/placement/placement_test_support.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {


namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

void SetView(host::Document& doc, const std::vector<float>& entries)
{
    ASSERT_EQ(entries.size(), 16u);
    std::copy(entries.begin(), entries.end(), doc.scene.view);
}

TEST(RotateByView, IdentityViewMirrorsZOfSelectedVerticesInEveryObject)
{
    PluginSession session;
    host::Document doc;   // starts with the identity view
    host::Object& first = AddObjectWith(doc, {{1, 2, 3}, {4, 5, 6}}, {1, 0});
    const int loose = AddUnusedSelectedPoint(first, {7, 8, 9});
    host::AddEmptyObjectSlot(doc);
    host::Object& third = AddObjectWith(doc, {{-1, 0, -2}, {0, 0, 0}}, {1, 0});
    doc.currentObject = 0;

    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);

    EXPECT_TRUE(At(first, 0, {1, 2, -3}));
    EXPECT_TRUE(At(first, 1, {4, 5, 6}));
    EXPECT_TRUE(At(first, loose, {7, 8, 9}));
    EXPECT_TRUE(At(third, 0, {-1, 0, 2}));
}

TEST(RotateByView, RowsOfTheMatrixAsStoredAndNoTranslation)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = AddObjectWith(doc, {{1, 1, 1}, {-4, 0.5f, 6}}, {1, 0});
    SetView(doc, {1, 2, 3, 50, 4, 5, 6, 50, 7, 8, 9, 50, 100, 100, 100, 1});
    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);
    // (x m0 + y m1) - z m2 per row: 1 + 2 - 3, 4 + 5 - 6, 7 + 8 - 9.
    EXPECT_TRUE(At(obj, 0, {0, 3, 6}));

    // A view that flips z back keeps every position.
    host::SelectVertex(obj, 1);
    const auto before = Positions(doc);
    SetView(doc, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 12, 13, 14, 1});
    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);
    EXPECT_EQ(Positions(doc), before);
}

TEST(RotateByView, RunningTwiceTurnsTwiceAndTheViewIsReadOnceFirst)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = AddObjectWith(doc, {{1, 2, 3}, {2, 0, 1}}, {1, 1});
    // A quarter turn about z: x' = -y, y' = x, z' = z.
    SetView(doc, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1});

    host::StartTrace();
    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);
    const std::vector<std::string> calls = DocumentCalls(host::StopTrace());
    EXPECT_TRUE(At(obj, 0, {-2, 1, 3}));
    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);
    EXPECT_TRUE(At(obj, 0, {-1, -2, 3}));
    EXPECT_TRUE(At(obj, 1, {-2, 0, 1}));

    EXPECT_EQ(std::count(calls.begin(), calls.end(), "MQScene_GetViewMatrix"), 1);
    const auto read = std::find(calls.begin(), calls.end(), "MQScene_GetViewMatrix");
    const auto write = std::find(calls.begin(), calls.end(), "MQObj_SetVertex");
    EXPECT_TRUE(read < write && write != calls.end());
}

TEST(RotateByView, NonFiniteInputLeavesVerticesAsTheyWere)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = AddObjectWith(doc, {{1, 2, 3}, {kNaN, 2, 3}}, {1, 1});

    // A NaN in one used entry would spoil every vertex: nothing is written.
    SetView(doc, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, kNaN, 0, 0, 0, 0, 1});
    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);
    EXPECT_TRUE(At(obj, 0, {1, 2, 3}));

    // A NaN outside the nine entries is ignored; a NaN vertex keeps its
    // other coordinates instead of becoming NaN all over.
    SetView(doc, {1, 0, 0, kNaN, 0, 1, 0, 0, 0, 0, 1, 0, kNaN, 0, 0, 1});
    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);
    EXPECT_TRUE(At(obj, 0, {1, 2, -3}));
    EXPECT_TRUE(std::isnan(obj.vertices[1].x));
    EXPECT_EQ(obj.vertices[1].y, 2.0f);
    EXPECT_EQ(obj.vertices[1].z, 3.0f);
}

}  // namespace

}  // namespace kivera_test
