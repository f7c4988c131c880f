// Rotate by view: selected vertices turned by the view matrix's orientation
// part with z negated, run through MQModifySelect of the real module.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "commands/placement/rotate_by_view.h"
#include "tests/commands/placement/placement_test_support.h"
#include "tests/support/plugin_session.h"

using namespace placement_test;
using kivera_test::PluginSession;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

void SetView(host::Document& doc, const std::vector<float>& entries)
{
    ASSERT_EQ(entries.size(), 16u);
    for (int i = 0; i < 16; ++i)
        doc.scene.view[i] = entries[static_cast<size_t>(i)];
}

TEST(RotateByView, IdentityViewMirrorsZOfSelectedVerticesInEveryObject)
{
    PluginSession session;
    host::Document doc;   // starts with the identity view
    host::Object& first = NewObject(doc, "first");
    AddUsedPoints(first, {{1, 2, 3}, {4, 5, 6}}, {1, 0});
    const int loose = AddUnusedSelectedPoint(first, {7, 8, 9});
    host::AddEmptyObjectSlot(doc);
    host::Object& third = NewObject(doc, "third");
    AddUsedPoints(third, {{-1, 0, -2}, {0, 0, 0}}, {1, 0});
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
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 1, 1}, {0, 0, 0}}, {1, 0});
    SetView(doc, {1, 2, 3, 50,     //
                  4, 5, 6, 50,     //
                  7, 8, 9, 50,     //
                  100, 100, 100, 1});

    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);

    // (x m0 + y m1) - z m2 per row: 1 + 2 - 3, 4 + 5 - 6, 7 + 8 - 9.
    EXPECT_TRUE(At(obj, 0, {0, 3, 6}));
}

TEST(RotateByView, ViewThatFlipsZBackKeepsPositions)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {-4, 0.5f, 6}}, {1, 1});
    SetView(doc, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 12, 13, 14, 1});
    const auto before = Positions(doc);

    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);
    EXPECT_EQ(Positions(doc), before);
}

TEST(RotateByView, RunningTwiceTurnsTwiceAndTheViewIsReadOnceFirst)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {2, 0, 1}}, {1, 1});
    // A quarter turn about z: x' = -y, y' = x, z' = z.
    SetView(doc, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1});

    host::StartTrace();
    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);
    const std::vector<std::string> calls = DocumentCalls(host::StopTrace());
    EXPECT_TRUE(At(obj, 0, {-2, 1, 3}));
    EXPECT_TRUE(At(obj, 1, {0, 2, 1}));

    EXPECT_EQ(session.Run(kRotateByViewRow, doc), 1);
    EXPECT_TRUE(At(obj, 0, {-1, -2, 3}));
    EXPECT_TRUE(At(obj, 1, {-2, 0, 1}));

    int viewReads = 0;
    size_t firstViewRead = calls.size(), firstWrite = calls.size();
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i] == "MQScene_GetViewMatrix") {
            ++viewReads;
            firstViewRead = std::min(firstViewRead, i);
        }
        if (calls[i] == "MQObj_SetVertex")
            firstWrite = std::min(firstWrite, i);
    }
    EXPECT_EQ(viewReads, 1);
    EXPECT_LT(firstViewRead, firstWrite);
    EXPECT_LT(firstWrite, calls.size());
}

TEST(RotateByView, NonFiniteInputLeavesVerticesAsTheyWere)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{1, 2, 3}, {kNaN, 2, 3}}, {1, 1});

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

TEST(TurnByView, WorksInDoubleAndRoundsOnce)
{
    // 1 + 2^-24 is lost in a float sum step by step, but kept in double and
    // then rounded with the other terms: (1 + 2^-24 + 2^-24) rounds up.
    const float tiny = std::ldexp(1.0f, -24);
    float m[16] = {};
    m[0] = 1.0f;
    m[1] = tiny;
    m[2] = -tiny;
    const Point3 turned = TurnByView({1.0f, 1.0f, 1.0f}, m);
    EXPECT_EQ(turned.x, 1.0f + std::ldexp(1.0f, -23));
    EXPECT_EQ(IsUsableViewMatrix(m), 1);
}

}  // namespace
