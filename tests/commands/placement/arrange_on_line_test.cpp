// Arrange on a straight line: dialog 101's choices, the vertex mode and the
// object mode, run through MQModifySelect of the real module.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "commands/placement/arrange_on_line.h"
#include "tests/commands/placement/placement_test_support.h"
#include "tests/support/plugin_session.h"

using namespace placement_test;
using kivera_test::DialogScript;
using kivera_test::PluginSession;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Settings no dialog run produces, to see whether a run wrote them.
ArrangeSettings Untouched()
{
    return {7, 7, 7, 7, 7, 7, 7, 7};
}

// Runs dialog 101 answered by `ids`; returns AskArrangeSettings' result.
int Ask(const char* ids, ArrangeSettings& settings)
{
    DialogScript script(ids);
    return AskArrangeSettings(nullptr, settings);
}

void ExpectSettings(const ArrangeSettings& s, const ArrangeSettings& expected)
{
    EXPECT_EQ(s.mainAxis, expected.mainAxis);
    EXPECT_EQ(s.moveX, expected.moveX);
    EXPECT_EQ(s.moveY, expected.moveY);
    EXPECT_EQ(s.moveZ, expected.moveZ);
    EXPECT_EQ(s.objectMode, expected.objectMode);
    EXPECT_EQ(s.reference, expected.reference);
    EXPECT_EQ(s.equalDivision, expected.equalDivision);
    EXPECT_EQ(s.moveAll, expected.moveAll);
}

int RunArrange(const PluginSession& session, host::Document& doc, const char* ids)
{
    DialogScript script(ids);
    return session.Run(kArrangeOnLineRow, doc);
}

// --- Dialog 101 ------------------------------------------------------------------

TEST(ArrangeDialog, EveryBoxIsReadAndEachRunStartsFromTheDefaults)
{
    ArrangeSettings s = Untouched();
    ASSERT_EQ(Ask("1002 1003 1004 1005 1011 1014 1015 1016 1", s), 1);
    ExpectSettings(s, {2, 1, 1, 1, 1, 2, 1, 1});

    // Nothing of the run before survives into the next one.
    s = Untouched();
    ASSERT_EQ(Ask("1", s), 1);
    ExpectSettings(s, DefaultArrangeSettings());
    ExpectSettings(s, {0, 0, 0, 0, 0, 1, 0, 0});
}

TEST(ArrangeDialog, MainAxisAndReferenceBoxesActAsOneChoice)
{
    ArrangeSettings s = Untouched();
    // A second click on the checked box keeps it checked.
    ASSERT_EQ(Ask("1001 1001 1", s), 1);
    EXPECT_EQ(s.mainAxis, 1);
    ASSERT_EQ(Ask("1000 1", s), 1);
    EXPECT_EQ(s.mainAxis, 0);
    // Another box clears the one before: Z then Y reads as Y, not Z.
    ASSERT_EQ(Ask("1002 1001 1", s), 1);
    EXPECT_EQ(s.mainAxis, 1);

    ASSERT_EQ(Ask("1012 1", s), 1);
    EXPECT_EQ(s.reference, 0);   // centre, checked at start, was cleared
    ASSERT_EQ(Ask("1014 1012 1", s), 1);
    EXPECT_EQ(s.reference, 0);
    ASSERT_EQ(Ask("1013 1", s), 1);
    EXPECT_EQ(s.reference, 1);
    ASSERT_EQ(Ask("1012 1014 1", s), 1);
    EXPECT_EQ(s.reference, 2);
}

TEST(ArrangeDialog, AnythingButOkLeavesTheSettingsAlone)
{
    ArrangeSettings s = Untouched();
    EXPECT_EQ(Ask("1002 1011 2", s), 0);   // CANCEL
    EXPECT_EQ(Ask("1002 1011", s), 0);     // closed with Escape
    EXPECT_EQ(Ask("1003 4711 1", s), 0);   // no such control: the dialog fails with -1
    ExpectSettings(s, Untouched());
}

// --- Vertex mode -----------------------------------------------------------------

TEST(ArrangeVertexMode, SelectedPointsSlideAlongTheMovementAxisOntoTheLine)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{0, 0, 0}, {1, 5, 0}, {2, 2, 0}, {1, 9, 0}}, {1, 1, 1, 0});
    const int loose = AddUnusedSelectedPoint(obj, {1, 8, 0});
    host::Object& other = NewObject(doc, "other");
    AddUsedPoints(other, {{0.5f, 4, 6}, {3, 3, 3}}, {1, 0});

    EXPECT_EQ(RunArrange(session, doc, "1004 1"), 1);   // main X, move Y

    EXPECT_TRUE(At(obj, 0, {0, 0, 0}));
    EXPECT_TRUE(At(obj, 1, {1, 1, 0}));
    EXPECT_TRUE(At(obj, 2, {2, 2, 0}));
    EXPECT_TRUE(At(obj, 3, {1, 9, 0}));        // not selected
    EXPECT_TRUE(At(obj, loose, {1, 8, 0}));    // used by no face
    EXPECT_TRUE(At(other, 0, {0.5f, 0.5f, 6}));   // every object; z was not checked
    EXPECT_TRUE(At(other, 1, {3, 3, 3}));
}

TEST(ArrangeVertexMode, EveryCheckedCrossAxisMovesButNeverTheMainAxis)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{0, 0, 4}, {1, 5, 9}, {2, 2, -4}}, {1, 1, 1});

    EXPECT_EQ(RunArrange(session, doc, "1003 1004 1005 1"), 1);   // the X box is the main axis

    EXPECT_TRUE(At(obj, 0, {0, 0, 4}));
    EXPECT_TRUE(At(obj, 1, {1, 1, 0}));
    EXPECT_TRUE(At(obj, 2, {2, 2, -4}));
}

TEST(ArrangeVertexMode, MainAxisYChosenByClickingItsBoxTwice)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{0, 0, 0}, {5, 1, 0}}, {1, 1});
    host::Object& other = NewObject(doc, "other");
    AddUsedPoints(other, {{2, 2, 0}, {9, 1.5f, 0}}, {1, 0});

    EXPECT_EQ(RunArrange(session, doc, "1001 1001 1003 1"), 1);   // main Y, move X

    EXPECT_TRUE(At(obj, 0, {0, 0, 0}));
    EXPECT_TRUE(At(obj, 1, {1, 1, 0}));
    EXPECT_TRUE(At(other, 0, {2, 2, 0}));
    EXPECT_TRUE(At(other, 1, {9, 1.5f, 0}));
}

TEST(ArrangeVertexMode, NothingMovesWithoutALineOrACrossAxis)
{
    PluginSession session;
    {
        SCOPED_TRACE("only the main axis checked for movement");
        host::Document doc;
        AddUsedPoints(NewObject(doc), {{0, 0, 0}, {1, 5, 0}, {2, 2, 0}}, {1, 1, 1});
        const auto before = Positions(doc);
        EXPECT_EQ(RunArrange(session, doc, "1003 1"), 1);
        EXPECT_EQ(Positions(doc), before);
    }
    {
        SCOPED_TRACE("one selected vertex");
        host::Document doc;
        AddUsedPoints(NewObject(doc), {{3, 5, 1}, {0, 0, 0}}, {1, 0});
        const auto before = Positions(doc);
        EXPECT_EQ(RunArrange(session, doc, "1004 1005 1"), 1);
        EXPECT_EQ(Positions(doc), before);
    }
    {
        SCOPED_TRACE("all selected vertices at one main-axis coordinate");
        host::Document doc;
        AddUsedPoints(NewObject(doc), {{2, 0, 0}, {2, 5, 1}, {2, 2, 7}}, {1, 1, 1});
        const auto before = Positions(doc);
        EXPECT_EQ(RunArrange(session, doc, "1004 1005 1"), 1);
        EXPECT_EQ(Positions(doc), before);
    }
}

TEST(ArrangeVertexMode, OnTiesTheEarliestVertexIsTheLineEnd)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddUsedPoints(obj, {{0, 0, 0}, {0, 10, 0}, {2, 2, 0}, {1, 7, 0}, {2, 6, 0}}, {1, 1, 1, 1, 1});

    EXPECT_EQ(RunArrange(session, doc, "1004 1"), 1);

    // The line runs from (0, 0, 0) to (2, 2, 0): the later ties are moved onto it.
    EXPECT_TRUE(At(obj, 1, {0, 0, 0}));
    EXPECT_TRUE(At(obj, 3, {1, 1, 0}));
    EXPECT_TRUE(At(obj, 4, {2, 2, 0}));
}

TEST(ArrangeVertexMode, NaNVertexTakesNoPartAndStays)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    // First in traversal order, so it would otherwise start both line ends.
    AddUsedPoints(obj, {{kNaN, 3, 3}, {0, 0, 0}, {1, 5, 0}, {2, 2, 0}, {1, 4, kNaN}},
                  {1, 1, 1, 1, 1});

    EXPECT_EQ(RunArrange(session, doc, "1004 1"), 1);

    EXPECT_TRUE(std::isnan(obj.vertices[0].x));
    EXPECT_EQ(obj.vertices[0].y, 3.0f);
    EXPECT_TRUE(At(obj, 2, {1, 1, 0}));
    EXPECT_EQ(obj.vertices[4].y, 4.0f);
    EXPECT_TRUE(std::isnan(obj.vertices[4].z));
}

TEST(ArrangeVertexMode, CoordinatesThatWouldOverflowKeepTheirValue)
{
    PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    const float big = 3.0e38f;
    // The direction's y overflows to infinity; no vertex may become NaN or infinite.
    AddUsedPoints(obj, {{0, -big, 0}, {1, 5, 0}, {2, big, 0}}, {1, 1, 1});

    EXPECT_EQ(RunArrange(session, doc, "1004 1"), 1);

    EXPECT_TRUE(At(obj, 0, {0, -big, 0}));
    EXPECT_TRUE(At(obj, 1, {1, 5, 0}));
    EXPECT_TRUE(At(obj, 2, {2, big, 0}));
}

// --- Object mode -----------------------------------------------------------------

// Three objects whose selected vertices have their means at x = 10, 0 and 1
// (object order deliberately not the main-axis order). Each also holds an
// unselected vertex.
struct ThreeObjects {
    host::Document doc;
    host::Object* far;
    host::Object* low;
    host::Object* middle;
    ThreeObjects()
    {
        far = &NewObject(doc, "far");
        AddUsedPoints(*far, {{9, 1, 0}, {11, 1, 0}, {10, 3, 0}}, {1, 1, 0});
        low = &NewObject(doc, "low");
        AddUsedPoints(*low, {{0, 2, 0}, {0, 4, 0}}, {1, 0});
        middle = &NewObject(doc, "middle");
        AddUsedPoints(*middle, {{0.5f, 0, 1}, {1.5f, 0, 1}, {1, 6, 1}}, {1, 1, 0});
    }
};

TEST(ArrangeObjectMode, EqualDivisionSpacesTheMiddleObjectEvenly)
{
    PluginSession session;
    ThreeObjects scene;

    EXPECT_EQ(RunArrange(session, scene.doc, "1011 1015 1"), 1);

    // Mean 1 moves to 5, halfway between 0 and 10: +4 on x, selected vertices only.
    EXPECT_TRUE(At(*scene.middle, 0, {4.5f, 0, 1}));
    EXPECT_TRUE(At(*scene.middle, 1, {5.5f, 0, 1}));
    EXPECT_TRUE(At(*scene.middle, 2, {1, 6, 1}));   // the mesh tears
    EXPECT_TRUE(At(*scene.far, 0, {9, 1, 0}));
    EXPECT_TRUE(At(*scene.far, 1, {11, 1, 0}));
    EXPECT_TRUE(At(*scene.low, 0, {0, 2, 0}));
}

TEST(ArrangeObjectMode, AllMovesEveryUsedVertexOfATakingPartObject)
{
    PluginSession session;
    ThreeObjects scene;
    const int loose = AddUnusedSelectedPoint(*scene.middle, {7, 7, 7});
    host::Object& bystander = NewObject(scene.doc, "no selection");
    AddUsedPoints(bystander, {{3, 3, 3}, {4, 4, 4}}, {0, 0});

    EXPECT_EQ(RunArrange(session, scene.doc, "1011 1015 1016 1"), 1);

    EXPECT_TRUE(At(*scene.middle, 0, {4.5f, 0, 1}));
    EXPECT_TRUE(At(*scene.middle, 2, {5, 6, 1}));
    EXPECT_TRUE(At(*scene.middle, loose, {7, 7, 7}));   // used by no face
    EXPECT_TRUE(At(bystander, 0, {3, 3, 3}));
    EXPECT_TRUE(At(bystander, 1, {4, 4, 4}));
}

TEST(ArrangeObjectMode, ReferenceMaxAlongYTakesTheHighestSelectedVertex)
{
    PluginSession session;
    host::Document doc;
    host::Object& middle = NewObject(doc, "middle");
    AddUsedPoints(middle, {{5, 3, 0}, {5, 7, 0}, {5, 9, 0}}, {1, 1, 0});
    host::Object& left = NewObject(doc, "left");
    AddUsedPoints(left, {{0, 0, 0}, {0, 1, 0}}, {1, 0});
    host::Object& right = NewObject(doc, "right");
    AddUsedPoints(right, {{10, 0, 0}, {10, 1, 0}}, {1, 0});

    EXPECT_EQ(RunArrange(session, doc, "1011 1004 1012 1"), 1);

    // The line is y = 0; the reference y = 7 goes onto it (centre would be 5, min 3).
    EXPECT_TRUE(At(middle, 0, {5, -4, 0}));
    EXPECT_TRUE(At(middle, 1, {5, 0, 0}));
    EXPECT_TRUE(At(middle, 2, {5, 9, 0}));
    EXPECT_TRUE(At(left, 0, {0, 0, 0}));
    EXPECT_TRUE(At(right, 0, {10, 0, 0}));
}

TEST(ArrangeObjectMode, OnlyZCheckedChoosesTheReferenceAlongZ)
{
    PluginSession session;
    host::Document doc;
    host::Object& left = NewObject(doc, "left");
    AddUsedPoints(left, {{0, 0, 0}, {0, 1, 0}}, {1, 0});
    host::Object& middle = NewObject(doc, "middle");
    AddUsedPoints(middle, {{6, 0, 1}, {4, 0, 6}}, {1, 1});
    host::Object& right = NewObject(doc, "right");
    AddUsedPoints(right, {{10, 0, 0}, {10, 1, 0}}, {1, 0});

    EXPECT_EQ(RunArrange(session, doc, "1011 1005 1012 1"), 1);

    // Largest z is (4, 0, 6): it lands on z = 0. Largest x would have moved it by -1.
    EXPECT_TRUE(At(middle, 0, {6, 0, -5}));
    EXPECT_TRUE(At(middle, 1, {4, 0, 0}));
}

TEST(ArrangeObjectMode, MainAxisZOrdersTheObjectsByZ)
{
    PluginSession session;
    host::Document doc;
    // Reference (centre) z: 10, 0, 2, 9; x runs the other way round.
    const float zs[4] = {10, 0, 2, 9};
    const float xs[4] = {0, 3, 1, 2};
    host::Object* objects[4];
    for (int i = 0; i < 4; ++i) {
        objects[i] = &NewObject(doc);
        AddUsedPoints(*objects[i], {{xs[i], 0, zs[i] - 1}, {xs[i], 0, zs[i] + 1}}, {1, 1});
    }

    EXPECT_EQ(RunArrange(session, doc, "1002 1011 1015 1"), 1);

    // Sorted on z: 0, 2, 9, 10, spaced to 0, 10/3, 20/3, 10.
    const float tolerance = 1e-5f;
    EXPECT_TRUE(At(*objects[1], 0, {3, 0, -1}));
    EXPECT_TRUE(At(*objects[2], 0, {1, 0, 10.0f / 3 - 1}, tolerance));
    EXPECT_TRUE(At(*objects[3], 1, {2, 0, 20.0f / 3 + 1}, tolerance));
    EXPECT_TRUE(At(*objects[0], 1, {0, 0, 11}));
}

TEST(ArrangeObjectMode, OneTakingPartObjectStaysPut)
{
    PluginSession session;
    host::Document doc;
    AddUsedPoints(NewObject(doc), {{1, 2, 3}, {4, 8, 6}}, {1, 1});
    host::AddEmptyObjectSlot(doc);
    AddUsedPoints(NewObject(doc), {{9, 9, 9}, {5, 0, 0}}, {0, 0});
    const auto before = Positions(doc);

    EXPECT_EQ(RunArrange(session, doc, "1011 1004 1005 1015 1016 1"), 1);
    EXPECT_EQ(Positions(doc), before);
}

TEST(ArrangeObjectMode, ObjectWhoseSelectionIsNaNTakesNoPart)
{
    PluginSession session;
    ThreeObjects scene;
    host::Object& broken = NewObject(scene.doc, "NaN");
    AddUsedPoints(broken, {{kNaN, 0, 0}, {5, 5, 5}}, {1, 0});

    EXPECT_EQ(RunArrange(session, scene.doc, "1011 1015 1016 1"), 1);

    EXPECT_TRUE(At(*scene.middle, 0, {4.5f, 0, 1}));   // still spaced as one of three
    EXPECT_TRUE(At(broken, 1, {5, 5, 5}));
}

TEST(ArrangeObjectMode, CrossAxesMoveTheReferenceOntoTheLineRigidly)
{
    PluginSession session;
    host::Document doc;
    host::Object& a = NewObject(doc, "a");
    AddUsedPoints(a, {{0, 0, 0}, {0, 2, 0}}, {1, 1});         // centre (0, 1, 0)
    host::Object& b = NewObject(doc, "b");
    AddUsedPoints(b, {{2, 5, 0}, {2, 9, 0}, {3, 0, 0}}, {1, 1, 0});   // centre (2, 7, 0)
    host::Object& c = NewObject(doc, "c");
    AddUsedPoints(c, {{4, 4, 0}, {4, 6, 0}}, {1, 1});         // centre (4, 5, 0)

    EXPECT_EQ(RunArrange(session, doc, "1011 1004 1016 1"), 1);

    // Line from (0, 1) to (4, 5): at x = 2 it is y = 3, so b moves by -4 on y.
    EXPECT_TRUE(At(b, 0, {2, 1, 0}));
    EXPECT_TRUE(At(b, 1, {2, 5, 0}));
    EXPECT_TRUE(At(b, 2, {3, -4, 0}));
    EXPECT_TRUE(At(a, 0, {0, 0, 0}));
    EXPECT_TRUE(At(c, 1, {4, 6, 0}));
}

// --- Cancel ------------------------------------------------------------------------

TEST(ArrangeOnLine, CancelReturnsOneAndTouchesNoDocument)
{
    PluginSession session;
    ThreeObjects scene;
    const auto before = Positions(scene.doc);
    for (const char* ids : {"1011 1015 1016 2", "1004", "1004 4711 1"}) {
        SCOPED_TRACE(ids);
        host::StartTrace();
        EXPECT_EQ(RunArrange(session, scene.doc, ids), 1);
        EXPECT_TRUE(DocumentCalls(host::StopTrace()).empty());
        EXPECT_EQ(Positions(scene.doc), before);
    }
}

// --- Ordering of the object records ---------------------------------------------

ObjectAnchor Anchor(float x, int objectIndex, int valid)
{
    ObjectAnchor anchor;
    anchor.point = {x, 0.0f, 0.0f};
    anchor.object = nullptr;
    anchor.objectIndex = objectIndex;
    anchor.valid = valid;
    return anchor;
}

TEST(SortAnchors, ValidRecordsAscendWithTiesInOrderAndInvalidOnesLast)
{
    ObjectAnchor anchors[6] = {Anchor(0, 0, 0), Anchor(5, 1, 1), Anchor(-1, 2, 0),
                               Anchor(2, 3, 1), Anchor(5, 4, 1), Anchor(2, 5, 1)};
    SortAnchors(anchors, 6, 0);
    const int expected[6] = {3, 5, 1, 4};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(anchors[k].objectIndex, expected[k]) << "position " << k;
        EXPECT_EQ(anchors[k].valid, 1);
    }
    EXPECT_EQ(anchors[4].valid, 0);
    EXPECT_EQ(anchors[5].valid, 0);

    SortAnchors(anchors, 0, 0);   // nothing to order, nothing touched
}

}  // namespace
