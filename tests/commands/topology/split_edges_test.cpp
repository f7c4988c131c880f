// Split edges, run through MQModifySelect of the real module against the
// stand-in host.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "frame/command_ids.h"
#include "tests/commands/topology/rim_split_fixtures.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {


namespace {

constexpr int kSplitEdgesRow = RowOf(CommandId::SplitEdges);

TEST(SplitEdges, ChainOfThreeLinesBecomesSixLines)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::AddEmptyObjectSlot(doc);
    host::Object& obj = NewObject(doc);
    Build(obj, {{0, 0, 0}, {2, 0, 0}, {4, 0, 0}, {6, 0, 0}}, {{0, 1}, {1, 2}, {2, 3}},
          {0, 1, 2, 3});

    EXPECT_EQ(session.Run(kSplitEdgesRow, doc), 1);
    ASSERT_EQ(obj.vertices.size(), 7u);
    ExpectAt(obj, 4, {1, 0, 0});
    ExpectAt(obj, 5, {3, 0, 0});
    ExpectAt(obj, 6, {5, 0, 0});
    EXPECT_EQ(FacePoints(obj),
              (Faces{{}, {}, {}, {0, 4}, {1, 4}, {1, 5}, {2, 5}, {2, 6}, {3, 6}}));
    // The midpoints are not selected; the chain keeps its selection.
    EXPECT_EQ(obj.vertexSelected, (std::vector<unsigned char>{1, 1, 1, 1, 0, 0, 0}));
}

TEST(SplitEdges, NothingToSplitWithoutAnOpenChain)
{
    kivera_test::PluginSession session;
    std::vector<host::Document> docs(3);
    // Nothing selected.
    Build(NewObject(docs[0]), {{0, 0, 0}, {1, 0, 0}}, {{0, 1}}, {});
    // Isolated selected vertices: one on no face, two on separate lines.
    Build(NewObject(docs[1]), {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {9, 9, 9}},
          {{0, 1}, {2, 3}}, {0, 3, 4});
    // A closed loop has no end to start from.
    Build(NewObject(docs[2]), {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
          {{0, 1}, {1, 2}, {2, 3}, {3, 0}}, {0, 1, 2, 3});
    for (host::Document& doc : docs) {
        const host::Object before = *doc.objects[0];
        EXPECT_EQ(session.Run(kSplitEdgesRow, doc), 1);
        EXPECT_TRUE(SameMesh(*doc.objects[0], before));
    }
}

TEST(SplitEdges, SingleLineIsSplitOnceFromItsLowerEnd)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    Build(obj, {{0, 0, 0}, {0, 4, 0}}, {{1, 0}}, {0, 1});

    host::StartTrace();
    EXPECT_EQ(session.Run(kSplitEdgesRow, doc), 1);
    std::vector<std::string> edits;
    for (const host::Call& call : host::StopTrace()) {
        if (call.name != "MQObj_GetVertex" && call.name != "MQObj_AddVertex" &&
            call.name != "MQObj_AddFace" && call.name != "MQObj_DeleteFace")
            continue;
        std::string line = call.name;
        for (long long arg : call.args)
            line += " " + std::to_string(arg);
        edits.push_back(line);
    }
    EXPECT_EQ(edits, (std::vector<std::string>{"MQObj_GetVertex 0", "MQObj_GetVertex 1",
                                               "MQObj_AddVertex", "MQObj_AddFace 2",
                                               "MQObj_AddFace 2", "MQObj_DeleteFace 0 1"}));
    ExpectAt(obj, 2, {0, 2, 0});
    EXPECT_EQ(FacePoints(obj), (Faces{{}, {0, 2}, {1, 2}}));
}

TEST(SplitEdges, ChainIsWalkedWhateverTheOrderOfItsVerticesAndFaces)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    // Along x the chain runs 2, 0, 3, 1; its lower-indexed end is 1.
    Build(obj, {{2, 0, 0}, {6, 0, 0}, {0, 0, 0}, {4, 0, 0}}, {{3, 1}, {0, 3}, {2, 0}},
          {0, 1, 2, 3});

    EXPECT_EQ(session.Run(kSplitEdgesRow, doc), 1);
    ASSERT_EQ(obj.vertices.size(), 7u);
    ExpectAt(obj, 4, {5, 0, 0});
    ExpectAt(obj, 5, {3, 0, 0});
    ExpectAt(obj, 6, {1, 0, 0});
    EXPECT_EQ(FacePoints(obj),
              (Faces{{}, {}, {}, {1, 4}, {3, 4}, {3, 5}, {0, 5}, {0, 6}, {2, 6}}));
}

TEST(SplitEdges, EveryFaceOnASegmentIsReplacedByTheTwoLines)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    Build(obj, {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, {{0, 1, 2, 3}, {1, 0}}, {0, 1});

    EXPECT_EQ(session.Run(kSplitEdgesRow, doc), 1);
    ExpectAt(obj, 4, {1, 0, 0});
    EXPECT_EQ(FacePoints(obj), (Faces{{}, {}, {0, 4}, {1, 4}}));
}

TEST(SplitEdges, BranchStopsTheFirstChainAndTheNextOneCrossesIt)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    // Arms 1, 2 and 3 meet at vertex 0.
    Build(obj, {{0, 0, 0}, {-2, 0, 0}, {2, 0, 0}, {0, 2, 0}}, {{0, 1}, {0, 2}, {0, 3}},
          {0, 1, 2, 3});

    EXPECT_EQ(session.Run(kSplitEdgesRow, doc), 1);
    ASSERT_EQ(obj.vertices.size(), 7u);
    ExpectAt(obj, 4, {-1, 0, 0});
    ExpectAt(obj, 5, {1, 0, 0});
    ExpectAt(obj, 6, {0, 1, 0});
    EXPECT_EQ(FacePoints(obj),
              (Faces{{}, {}, {}, {1, 4}, {0, 4}, {2, 5}, {0, 5}, {0, 6}, {3, 6}}));
}

TEST(SplitEdges, FaceRepeatingAVertexStopsTheWalk)
{
    kivera_test::PluginSession session;
    // The degenerate triangle makes vertex 2 its own neighbour: past 2 the
    // walk would turn back over the chain and beyond its buffer.
    host::Document doc;
    host::Object& obj = NewObject(doc);
    Build(obj, {{0, 0, 0}, {2, 0, 0}, {4, 0, 0}}, {{0, 1}, {1, 2}, {1, 2, 2}}, {0, 1, 2});
    EXPECT_EQ(session.Run(kSplitEdgesRow, doc), 1);
    // The chain 0, 1, 2 is split. The degenerate triangle still joins 1 and
    // 2, so 1 starts a second chain, which stops at 2 as well.
    ASSERT_EQ(obj.vertices.size(), 6u);
    ExpectAt(obj, 3, {1, 0, 0});
    ExpectAt(obj, 4, {3, 0, 0});
    ExpectAt(obj, 5, {3, 0, 0});
    EXPECT_EQ(FacePoints(obj),
              (Faces{{}, {}, {1, 2, 2}, {0, 3}, {1, 3}, {1, 4}, {2, 4}, {1, 5}, {2, 5}}));

    // A vertex whose one selected neighbour is itself is no chain end: the
    // line from it stays.
    host::Document self;
    host::Object& s = NewObject(self);
    Build(s, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {0, 2}}, {0});
    const host::Object before = s;
    EXPECT_EQ(session.Run(kSplitEdgesRow, self), 1);
    EXPECT_TRUE(SameMesh(s, before));
}

TEST(SplitEdges, FacesTheCommandCannotReadAreLeftAlone)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Object& obj = NewObject(doc);
    // The pentagon holds the segment 0-1 but is skipped; the broken faces
    // name vertices 99 and -3, which are no neighbours of 1.
    Build(obj, {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 3, 0}, {0, 2, 0}, {4, 0, 0}},
          {{0, 1, 2, 3, 4}, {0, 1}}, {0, 1});
    AddBrokenFace(obj, {1, 99});
    AddBrokenFace(obj, {-3, 1, 5});

    EXPECT_EQ(session.Run(kSplitEdgesRow, doc), 1);
    ASSERT_EQ(obj.vertices.size(), 7u);
    ExpectAt(obj, 6, {1, 0, 0});
    EXPECT_EQ(FacePoints(obj),
              (Faces{{0, 1, 2, 3, 4}, {}, {1, 99}, {-3, 1, 5}, {0, 6}, {1, 6}}));
}

TEST(SplitEdges, MidpointsOfExtremeCoordinates)
{
    kivera_test::PluginSession session;
    const float big = std::numeric_limits<float>::max();
    host::Document doc;
    host::Object& obj = NewObject(doc);
    Build(obj, {{big, 0, 0}, {big, 2, 0}, {std::numeric_limits<float>::quiet_NaN(), 0, 0}},
          {{0, 1}, {1, 2}}, {0, 1, 2});

    EXPECT_EQ(session.Run(kSplitEdgesRow, doc), 1);
    // The sum of two large coordinates does not overflow on the way.
    ExpectAt(obj, 3, {big, 1, 0});
    // A NaN end gives a NaN midpoint; the split happens all the same.
    ASSERT_EQ(obj.vertices.size(), 5u);
    EXPECT_TRUE(std::isnan(obj.vertices[4].x));
    EXPECT_EQ(FacePoints(obj), (Faces{{}, {}, {0, 3}, {1, 3}, {1, 4}, {2, 4}}));
}

}  // namespace

}  // namespace kivera_test
