// Fold back rim, run through MQModifySelect of the real module against the
// stand-in host, and its move list on its own.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "frame/command_ids.h"
#include "commands/topology/fold_back_rim.h"
#include "tests/commands/topology/rim_split_fixtures.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {

using namespace kivera;

namespace {

constexpr int kFoldBackRimRow = RowOf(CommandId::FoldBackRim);

// Two quadrilaterals side by side in the XZ plane, vertices 0, 1, 2 at z = 0
// below 3, 4, 5 at z = 1. `first` is face 0, a rotation or reversal of 0-1-4-3.
void AddRimStrip(host::Object& obj, const std::vector<int>& selected,
                 const std::vector<int>& first = {0, 1, 4, 3})
{
    Build(obj, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 0, 1}, {1, 0, 1}, {2, 0, 1}},
          {first, {1, 2, 5, 4}}, selected);
}

// Triangles [1, 0, 2] and [0, 1, 3] hinged on the edge 0-1, and the line
// [1, 4] that gives vertex 1 its third reference.
void AddHinge(host::Object& obj, const std::vector<int>& selected,
              host::Vec3 vertex3 = {1, 0, 0})
{
    Build(obj, {{0, 0, 0}, {0, 0, 1}, {-1, 0, 0}, vertex3, {0, 0, 2}}, {{1, 0, 2}, {0, 1, 3}, {1, 4}},
          selected);
}

// Runs the command on a one-object document and expects 1 and no change.
void ExpectNothingMoves(const kivera_test::PluginSession& session, host::Document& doc)
{
    const host::Object before = *doc.objects[0];
    EXPECT_EQ(session.Run(kFoldBackRimRow, doc), 1);
    EXPECT_TRUE(SameMesh(*doc.objects[0], before));
}

TEST(FoldBackRim, RimRowOfAQuadStripTurnsToTheBack)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddRimStrip(obj, {3, 4, 5});

    EXPECT_EQ(session.Run(kFoldBackRimRow, doc), 1);
    ExpectAt(obj, 4, {1, -1, 0});
    // The corners, held by one face each, stay; faces and selection too.
    ExpectAt(obj, 3, {0, 0, 1});
    ExpectAt(obj, 5, {2, 0, 1});
    EXPECT_EQ(FacePoints(obj), (Faces{{0, 1, 4, 3}, {1, 2, 5, 4}}));
    EXPECT_EQ(obj.vertexSelected, (std::vector<unsigned char>{0, 0, 0, 1, 1, 1}));
}

TEST(FoldBackRim, VertexBetweenTwoPolygonsFoldsAboutTheirSharedEdge)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    AddHinge(obj, {1});
    EXPECT_EQ(session.Run(kFoldBackRimRow, doc), 1);
    ExpectAt(obj, 1, {0, 1, 0});

    // Folded flat back to back, the normals cancel: onto the pivot.
    host::Document flat;
    host::Object& f = NewObject(flat);
    AddHinge(f, {1}, {-1, 0, 0});
    EXPECT_EQ(session.Run(kFoldBackRimRow, flat), 1);
    ExpectAt(f, 1, {0, 0, 0});

    // A pentagon in place of the line is no third polygon: it is not read.
    host::Document penta;
    host::Object& p = NewObject(penta);
    Build(p, {{0, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 0, 2}, {5, 5, 5}, {6, 5, 5}},
          {{1, 0, 2}, {0, 1, 3}, {1, 4, 5, 6, 2}}, {1});
    EXPECT_EQ(session.Run(kFoldBackRimRow, penta), 1);
    ExpectAt(p, 1, {0, 1, 0});
}

TEST(FoldBackRim, VerticesOutsideBothBranchesStay)
{
    kivera_test::PluginSession session;
    std::vector<host::Document> docs(4);
    // Nothing selected.
    AddRimStrip(NewObject(docs[0]), {});
    // Vertex 1 with four references (the strip's two faces and two lines).
    host::Object& four = NewObject(docs[1]);
    AddRimStrip(four, {1});
    Build(four, {}, {{1, 3}, {1, 5}}, {});
    // Count 3 with three triangles around vertex 0.
    Build(NewObject(docs[2]), {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {-1, 1, 0}},
          {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}, {0});
    // Count 2 where the lowest face holding vertex 1 is a triangle, though
    // the quadrilateral after it would qualify.
    Build(NewObject(docs[3]), {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {2, 0, 1}, {2, 0, 0}},
          {{0, 1, 2}, {1, 4, 3, 2}}, {1, 2});
    for (host::Document& doc : docs)
        ExpectNothingMoves(session, doc);
}

TEST(FoldBackRim, RimVertexNeedsExactlyOneSelectedCycleNeighbour)
{
    kivera_test::PluginSession session;
    // In face 0 = [0, 1, 4, 3]: three corners, four corners, and the two
    // diagonals (positions 0 and 2, 1 and 3).
    for (const std::vector<int>& selection :
         std::vector<std::vector<int>>{{0, 3, 4}, {0, 1, 3, 4}, {0, 4}, {1, 3}}) {
        host::Document doc;
        AddRimStrip(NewObject(doc), selection);
        SCOPED_TRACE(testing::PrintToString(selection));
        ExpectNothingMoves(session, doc);
    }
}

TEST(FoldBackRim, PairAtFirstAndLastCornerPivotsOnTheUnselectedNeighbour)
{
    kivera_test::PluginSession session;
    // Face 0 = [4, 1, 0, 3]: vertex 4 at position 0 pivots on position 1
    // (vertex 1); the face runs the other way round, normal (0, -1, 0).
    host::Document atFirst;
    host::Object& a = NewObject(atFirst);
    AddRimStrip(a, {3, 4, 5}, {4, 1, 0, 3});
    EXPECT_EQ(session.Run(kFoldBackRimRow, atFirst), 1);
    ExpectAt(a, 4, {1, 1, 0});

    // Face 0 = [3, 0, 1, 4]: vertex 4 at position 3 pivots on position 2.
    host::Document atLast;
    host::Object& b = NewObject(atLast);
    AddRimStrip(b, {3, 4, 5}, {3, 0, 1, 4});
    EXPECT_EQ(session.Run(kFoldBackRimRow, atLast), 1);
    ExpectAt(b, 4, {1, -1, 0});
}

TEST(FoldBackRim, NeighbouringMovesEachUseTheOthersOldPosition)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    // A line from vertex 0 gives it a third reference: 0 and 1 are each
    // other's pivot.
    AddHinge(obj, {0, 1});
    Build(obj, {{0, 0, -1}}, {{0, 5}}, {});

    host::StartTrace();
    EXPECT_EQ(session.Run(kFoldBackRimRow, doc), 1);
    const std::vector<host::Call> calls = host::StopTrace();
    ExpectAt(obj, 0, {0, 1, 1});
    ExpectAt(obj, 1, {0, 1, 0});
    size_t lastRead = 0, firstWrite = calls.size();
    for (size_t k = 0; k < calls.size(); ++k) {
        if (calls[k].name == "MQObj_GetVertex")
            lastRead = k;
        if (calls[k].name == "MQObj_SetVertex" && firstWrite == calls.size())
            firstWrite = k;
    }
    EXPECT_LT(lastRead, firstWrite);
}

TEST(FoldBackRim, MovesInSeveralObjectsAreWrittenObjectByObject)
{
    kivera_test::PluginSession session;
    host::Document doc;
    // Object 0: three quadrilaterals in a row; rim vertices 5 and 6 move.
    host::Object& strip = NewObject(doc);
    Build(strip, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {0, 0, 1}, {1, 0, 1}, {2, 0, 1},
                  {3, 0, 1}},
          {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}}, {4, 5, 6, 7});
    host::AddEmptyObjectSlot(doc);
    host::Object& hinge = NewObject(doc);
    AddHinge(hinge, {1});

    host::StartTrace();
    EXPECT_EQ(session.Run(kFoldBackRimRow, doc), 1);
    const std::vector<host::Call> calls = host::StopTrace();
    ExpectAt(strip, 5, {1, -1, 0});
    ExpectAt(strip, 6, {2, -1, 0});
    ExpectAt(hinge, 1, {0, 1, 0});

    // The writing pass fetches an object once per run of its entries.
    std::vector<std::string> writes;
    for (size_t k = 0; k < calls.size(); ++k)
        if (calls[k].name == "MQObj_SetVertex" || (k + 1 < calls.size() &&
                                                   calls[k + 1].name == "MQObj_SetVertex"))
            writes.push_back(calls[k].name + " " + std::to_string(calls[k].args.at(0)));
    EXPECT_EQ(writes, (std::vector<std::string>{"MQDoc_GetObject 0", "MQObj_SetVertex 5",
                                                "MQObj_SetVertex 6", "MQDoc_GetObject 2",
                                                "MQObj_SetVertex 1"}));
}

TEST(FoldBackRim, BrokenIndicesAndNonFiniteCoordinatesLeaveTheVertex)
{
    kivera_test::PluginSession session;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<host::Document> docs(4);
    // Rim branch: the pivot position of vertex 4 names vertex 99.
    host::Object& rim = NewObject(docs[0]);
    Build(rim, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 0, 1}, {1, 0, 1}, {2, 0, 1}}, {}, {3, 4, 5});
    AddBrokenFace(rim, {0, 99, 4, 3});
    Build(rim, {}, {{1, 2, 5, 4}}, {});
    // Two-polygon branch: the shared vertex besides 1 is -7.
    host::Object& hinge = NewObject(docs[1]);
    Build(hinge, {{0, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 0, 2}}, {}, {1});
    AddBrokenFace(hinge, {1, -7, 2});
    AddBrokenFace(hinge, {-7, 1, 3});
    Build(hinge, {}, {{1, 4}}, {});
    EXPECT_EQ(rim.refCount[4], 2);
    EXPECT_EQ(hinge.refCount[1], 3);
    // A NaN pivot, and an infinite moving vertex.
    host::Object& nanPivot = NewObject(docs[2]);
    AddRimStrip(nanPivot, {3, 4, 5});
    nanPivot.vertices[1] = {nan, 0, 0};
    host::Object& infinite = NewObject(docs[3]);
    AddHinge(infinite, {1});
    infinite.vertices[1] = {0, 0, std::numeric_limits<float>::infinity()};
    for (host::Document& doc : docs)
        ExpectNothingMoves(session, doc);
}

TEST(PendingMoveList, HoldsAtMostItsReservedEntriesInOrder)
{
    PendingMoveList list;
    EXPECT_EQ(Append(list, 0, 1, {1, 2, 3}), 0);   // nothing before a reservation

    ASSERT_TRUE(Reserve(list, 2));
    EXPECT_EQ(Append(list, 0, 7, {1, 2, 3}), 1);
    EXPECT_EQ(Append(list, 3, 8, {4, 5, 6}), 2);
    EXPECT_EQ(Append(list, 4, 9, {7, 8, 9}), 2);   // full: dropped
    EXPECT_EQ(list.entries[1].objectIndex, 3);
    EXPECT_EQ(list.entries[1].vertexIndex, 8);
    EXPECT_EQ(list.entries[1].position.z, 6.0f);

    ASSERT_TRUE(Reserve(list, 0));   // a new reservation empties the list
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(Append(list, 0, 1, {1, 2, 3}), 0);
    EXPECT_FALSE(Reserve(list, -1));
    EXPECT_EQ(list.capacity, 0);
}

}  // namespace

}  // namespace kivera_test
