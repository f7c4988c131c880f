// Arrange on a straight line: dialog 101's choices, the vertex mode and the
// object mode, run through MQModifySelect of the real module.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "commands/placement/arrange_on_line.h"
#include "tests/commands/placement/placement_test_support.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {

using namespace kivera;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Runs dialog 101 answered by `ids` into `s`; returns AskArrangeSettings' result.
int Ask(const char* ids, ArrangeSettings& s)
{
    DialogScript script(ids);
    return AskArrangeSettings(nullptr, s);
}

std::vector<int> Fields(const ArrangeSettings& s)
{
    return {s.mainAxis, s.moveX,     s.moveY,         s.moveZ,
            s.objectMode, s.reference, s.equalDivision, s.moveAll};
}

int RunArrange(const PluginSession& session, host::Document& doc, const char* ids)
{
    DialogScript script(ids);
    return session.Run(kArrangeOnLineRow, doc);
}

// --- Dialog 101 ------------------------------------------------------------------

TEST(ArrangeDialog, EveryBoxIsReadAndEachRunStartsFromTheDefaults)
{
    ArrangeSettings s = {};
    ASSERT_EQ(Ask("1002 1003 1004 1005 1011 1014 1015 1016 1", s), 1);
    EXPECT_EQ(Fields(s), (std::vector<int>{2, 1, 1, 1, 1, 2, 1, 1}));
    ASSERT_EQ(Ask("1", s), 1);
    EXPECT_EQ(Fields(s), (std::vector<int>{0, 0, 0, 0, 0, 1, 0, 0}));
}

TEST(ArrangeDialog, MainAxisAndReferenceBoxesActAsOneChoice)
{
    // Ids clicked, then the main axis and reference read on OK.
    const struct {
        const char* ids;
        int mainAxis, reference;
    } cases[] = {{"1001 1001 1", 1, 1},   // a click on the checked box keeps it
                 {"1000 1", 0, 1},        {"1002 1001 1", 1, 1},   // Y clears Z
                 {"1012 1", 0, 0},        // centre, checked at start, is cleared
                 {"1014 1012 1", 0, 0},   {"1012 1014 1", 0, 2},  {"1013 1", 0, 1}};
    for (const auto& c : cases) {
        ArrangeSettings s = {};
        ASSERT_EQ(Ask(c.ids, s), 1) << c.ids;
        EXPECT_EQ(s.mainAxis, c.mainAxis) << c.ids;
        EXPECT_EQ(s.reference, c.reference) << c.ids;
    }
}

TEST(ArrangeDialog, AnythingButOkLeavesTheSettingsAlone)
{
    ArrangeSettings s = {7, 7, 7, 7, 7, 7, 7, 7};
    EXPECT_EQ(Ask("1002 1011 2", s), 0);   // CANCEL
    EXPECT_EQ(Ask("1002 1011", s), 0);     // closed with Escape
    EXPECT_EQ(Ask("1003 4711 1", s), 0);   // no such control: the dialog fails with -1
    EXPECT_EQ(Fields(s), std::vector<int>(8, 7));
}

TEST(ArrangeOnLine, CancelReturnsOneAndTouchesNoDocument)
{
    PluginSession session;
    host::Document doc;
    AddObjectWith(doc, {{0, 0, 0}, {1, 5, 0}, {2, 2, 0}}, {1, 1, 1});
    const auto before = Positions(doc);
    for (const char* ids : {"1004 1011 1015 1016 2", "1004", "1004 4711 1"}) {
        host::StartTrace();
        EXPECT_EQ(RunArrange(session, doc, ids), 1) << ids;
        EXPECT_EQ(DocumentCalls(host::StopTrace()), std::vector<std::string>{}) << ids;
    }
    EXPECT_EQ(Positions(doc), before);
}

// --- Vertex mode -----------------------------------------------------------------

TEST(ArrangeVertexMode, SelectedPointsSlideAlongTheMovementAxesOntoTheLine)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = AddObjectWith(doc, {{0, 0, 0}, {1, 5, 0}, {2, 2, 0}, {1, 9, 0}}, {1, 1, 1, 0});
    const int loose = AddUnusedSelectedPoint(obj, {1, 8, 0});
    host::Object& other = AddObjectWith(doc, {{0.5f, 4, 6}, {3, 3, 3}}, {1, 0});

    EXPECT_EQ(RunArrange(session, doc, "1004 1"), 1);   // main X, move Y

    EXPECT_TRUE(At(obj, 0, {0, 0, 0}));
    EXPECT_TRUE(At(obj, 1, {1, 1, 0}));
    EXPECT_TRUE(At(obj, 2, {2, 2, 0}));
    EXPECT_TRUE(At(obj, 3, {1, 9, 0}));
    EXPECT_TRUE(At(obj, loose, {1, 8, 0}));
    EXPECT_TRUE(At(other, 0, {0.5f, 0.5f, 6}));   // z was not checked
    EXPECT_TRUE(At(other, 1, {3, 3, 3}));

    // Y and Z checked; the X box is the main axis and moves nothing.
    host::Document tilted;
    host::Object& t = AddObjectWith(tilted, {{0, 0, 4}, {1, 5, 9}, {2, 2, -4}}, {1, 1, 1});
    EXPECT_EQ(RunArrange(session, tilted, "1003 1004 1005 1"), 1);
    EXPECT_TRUE(At(t, 1, {1, 1, 0}));
}

TEST(ArrangeVertexMode, MainAxisYChosenByClickingItsCheckedBoxAgain)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = AddObjectWith(doc, {{0, 0, 0}, {5, 1, 0}, {2, 2, 0}}, {1, 1, 1});

    EXPECT_EQ(RunArrange(session, doc, "1001 1001 1003 1"), 1);   // main Y, move X

    EXPECT_TRUE(At(obj, 1, {1, 1, 0}));
}

TEST(ArrangeVertexMode, NothingMovesWithoutALineOrACrossAxis)
{
    PluginSession session;
    const struct {
        const char* ids;
        std::vector<host::Vec3> points;
        std::vector<int> selected;
    } cases[] = {{"1003 1", {{0, 0, 0}, {1, 5, 0}, {2, 2, 0}}, {1, 1, 1}},   // only the main axis
                 {"1004 1005 1", {{3, 5, 1}, {0, 0, 0}}, {1, 0}},          // one selected vertex
                 {"1004 1005 1", {{2, 0, 0}, {2, 5, 1}}, {1, 1}}};         // one main-axis value
    for (const auto& c : cases) {
        host::Document doc;
        AddObjectWith(doc, c.points, c.selected);
        const auto before = Positions(doc);
        EXPECT_EQ(RunArrange(session, doc, c.ids), 1);
        EXPECT_EQ(Positions(doc), before) << c.ids;
    }
}

TEST(ArrangeVertexMode, OnTiesTheEarliestVertexIsTheLineEnd)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj =
        AddObjectWith(doc, {{0, 0, 0}, {0, 10, 0}, {2, 2, 0}, {1, 7, 0}, {2, 6, 0}}, {1, 1, 1, 1, 1});

    EXPECT_EQ(RunArrange(session, doc, "1004 1"), 1);

    // The line runs from (0, 0, 0) to (2, 2, 0): the later ties are moved onto it.
    EXPECT_TRUE(At(obj, 1, {0, 0, 0}));
    EXPECT_TRUE(At(obj, 3, {1, 1, 0}));
    EXPECT_TRUE(At(obj, 4, {2, 2, 0}));
}

TEST(ArrangeVertexMode, NonFiniteCoordinatesNeitherSpreadNorAppear)
{
    PluginSession session;
    host::Document doc;
    // First in traversal order, the NaN vertex would otherwise start both ends.
    host::Object& obj = AddObjectWith(
        doc, {{kNaN, 3, 3}, {0, 0, 0}, {1, 5, 0}, {2, 2, 0}, {1, 4, kNaN}}, {1, 1, 1, 1, 1});
    EXPECT_EQ(RunArrange(session, doc, "1004 1"), 1);
    EXPECT_TRUE(std::isnan(obj.vertices[0].x));
    EXPECT_EQ(obj.vertices[0].y, 3.0f);
    EXPECT_TRUE(At(obj, 2, {1, 1, 0}));
    EXPECT_EQ(obj.vertices[4].y, 4.0f);

    // The line's direction overflows to infinity: coordinates keep their value.
    host::Document huge;
    AddObjectWith(huge, {{0, -3e38f, 0}, {1, 5, 0}, {2, 3e38f, 0}}, {1, 1, 1});
    const auto before = Positions(huge);
    EXPECT_EQ(RunArrange(session, huge, "1004 1"), 1);
    EXPECT_EQ(Positions(huge), before);
}

// --- Object mode -----------------------------------------------------------------

// Three objects whose selected vertices have their means at x = 10, 0 and 1
// (object order deliberately not the main-axis order), each with one
// unselected vertex last.
struct ThreeObjects {
    host::Document doc;
    host::Object& far = AddObjectWith(doc, {{9, 1, 0}, {11, 1, 0}, {10, 3, 0}}, {1, 1, 0});
    host::Object& low = AddObjectWith(doc, {{0, 2, 0}, {0, 4, 0}}, {1, 0});
    host::Object& middle = AddObjectWith(doc, {{0.5f, 0, 1}, {1.5f, 0, 1}, {1, 6, 1}}, {1, 1, 0});
};

TEST(ArrangeObjectMode, EqualDivisionMovesTheMiddleObjectByFour)
{
    PluginSession session;
    ThreeObjects scene;
    EXPECT_EQ(RunArrange(session, scene.doc, "1011 1015 1"), 1);

    // Mean 1 moves to 5, halfway between 0 and 10; only selected vertices move.
    EXPECT_TRUE(At(scene.middle, 0, {4.5f, 0, 1}));
    EXPECT_TRUE(At(scene.middle, 1, {5.5f, 0, 1}));
    EXPECT_TRUE(At(scene.middle, 2, {1, 6, 1}));
    EXPECT_TRUE(At(scene.far, 1, {11, 1, 0}));
    EXPECT_TRUE(At(scene.low, 0, {0, 2, 0}));

    // "All" moves every used vertex of a taking-part object, none of others.
    ThreeObjects whole;
    const int loose = AddUnusedSelectedPoint(whole.middle, {7, 7, 7});
    host::Object& bystander = AddObjectWith(whole.doc, {{3, 3, 3}, {4, 4, 4}}, {0, 0});
    host::Object& broken = AddObjectWith(whole.doc, {{kNaN, 0, 0}, {5, 5, 5}}, {1, 0});
    EXPECT_EQ(RunArrange(session, whole.doc, "1011 1015 1016 1"), 1);
    EXPECT_TRUE(At(whole.middle, 0, {4.5f, 0, 1}));   // still one of three: NaN takes no part
    EXPECT_TRUE(At(whole.middle, 2, {5, 6, 1}));
    EXPECT_TRUE(At(whole.middle, loose, {7, 7, 7}));
    EXPECT_TRUE(At(bystander, 0, {3, 3, 3}));
    EXPECT_TRUE(At(broken, 1, {5, 5, 5}));
}

TEST(ArrangeObjectMode, ReferenceMaxTakesTheHighestSelectedVertexAlongTheFirstCheckedAxis)
{
    PluginSession session;
    host::Document doc;
    host::Object& middle = AddObjectWith(doc, {{5, 3, 0}, {5, 7, 0}, {5, 9, 0}}, {1, 1, 0});
    AddObjectWith(doc, {{0, 0, 0}, {0, 1, 0}}, {1, 0});
    AddObjectWith(doc, {{10, 0, 0}, {10, 1, 0}}, {1, 0});
    EXPECT_EQ(RunArrange(session, doc, "1011 1004 1012 1"), 1);
    // The line is y = 0 and y = 7 goes onto it (centre would be 5, min 3).
    EXPECT_TRUE(At(middle, 0, {5, -4, 0}));
    EXPECT_TRUE(At(middle, 2, {5, 9, 0}));

    // Only Z checked: the vertex of largest z, not of largest x, is the reference.
    host::Document alongZ;
    AddObjectWith(alongZ, {{0, 0, 0}, {0, 1, 0}}, {1, 0});
    host::Object& m = AddObjectWith(alongZ, {{6, 0, 1}, {4, 0, 6}}, {1, 1});
    AddObjectWith(alongZ, {{10, 0, 0}, {10, 1, 0}}, {1, 0});
    EXPECT_EQ(RunArrange(session, alongZ, "1011 1005 1012 1"), 1);
    EXPECT_TRUE(At(m, 0, {6, 0, -5}));
}

TEST(ArrangeObjectMode, CrossAxesMoveTheReferenceOntoTheLineRigidly)
{
    PluginSession session;
    host::Document doc;
    host::Object& a = AddObjectWith(doc, {{0, 0, 0}, {0, 2, 0}}, {1, 1});               // (0, 1)
    host::Object& b = AddObjectWith(doc, {{2, 5, 0}, {2, 9, 0}, {3, 0, 0}}, {1, 1, 0});  // (2, 7)
    AddObjectWith(doc, {{4, 4, 0}, {4, 6, 0}}, {1, 1});                                 // (4, 5)

    EXPECT_EQ(RunArrange(session, doc, "1011 1004 1016 1"), 1);

    // The line through (0, 1) and (4, 5) is at y = 3 for x = 2: b moves by -4.
    EXPECT_TRUE(At(b, 0, {2, 1, 0}));
    EXPECT_TRUE(At(b, 2, {3, -4, 0}));
    EXPECT_TRUE(At(a, 0, {0, 0, 0}));
}

TEST(ArrangeObjectMode, MainAxisZOrdersTheObjectsByZ)
{
    PluginSession session;
    host::Document doc;
    // Centre z 10, 0, 2, 9, while x runs the other way round.
    const float zs[4] = {10, 0, 2, 9}, xs[4] = {0, 3, 1, 2};
    host::Object* objects[4];
    for (int i = 0; i < 4; ++i)
        objects[i] = &AddObjectWith(doc, {{xs[i], 0, zs[i] - 1}, {xs[i], 0, zs[i] + 1}}, {1, 1});

    EXPECT_EQ(RunArrange(session, doc, "1002 1011 1015 1"), 1);

    // Sorted on z: 0, 2, 9, 10, spaced to 0, 10/3, 20/3, 10.
    EXPECT_TRUE(At(*objects[1], 0, {3, 0, -1}));
    EXPECT_TRUE(At(*objects[2], 0, {1, 0, 10.0f / 3 - 1}, 1e-5f));
    EXPECT_TRUE(At(*objects[3], 1, {2, 0, 20.0f / 3 + 1}, 1e-5f));
    EXPECT_TRUE(At(*objects[0], 1, {0, 0, 11}));
}

TEST(ArrangeObjectMode, OneTakingPartObjectStaysPut)
{
    PluginSession session;
    host::Document doc;
    AddObjectWith(doc, {{1, 2, 3}, {4, 8, 6}}, {1, 1});
    host::AddEmptyObjectSlot(doc);
    AddObjectWith(doc, {{9, 9, 9}, {5, 0, 0}}, {0, 0});
    const auto before = Positions(doc);
    EXPECT_EQ(RunArrange(session, doc, "1011 1004 1005 1015 1016 1"), 1);
    EXPECT_EQ(Positions(doc), before);
}

ObjectAnchor Anchor(float x, int objectIndex, bool valid)
{
    return {{x, 0.0f, 0.0f}, nullptr, objectIndex, valid};
}

TEST(SortAnchors, ValidRecordsAscendWithTiesInOrderAndInvalidOnesLast)
{
    ObjectAnchor anchors[6] = {Anchor(0, 0, 0), Anchor(5, 1, 1), Anchor(-1, 2, 0),
                               Anchor(2, 3, 1), Anchor(5, 4, 1), Anchor(2, 5, 1)};
    SortAnchors(anchors, 6, 0);
    const int expected[6] = {3, 5, 1, 4};
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(anchors[k].valid && anchors[k].objectIndex == expected[k]) << k;
    EXPECT_FALSE(anchors[4].valid || anchors[5].valid);
}

}  // namespace

}  // namespace kivera_test
